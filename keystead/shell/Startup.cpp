#include "shell/AppPaths.h"

// Placeholder start-up: reads nothing yet and exits cleanly.
int KeysteadMain()
{
    CreateDirectoryPath(GetUserDataDir() + L"db");
    return 0;
}
