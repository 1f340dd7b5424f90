// Program entry. The command line is ignored.
int KeysteadMain();

int main()
{
    return KeysteadMain();
}
