// lumo_skingen <skin folder>: writes every skin image the library and the program use.
#include "Theme.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <skin folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    int failures = 0;
    for (const auto& image : Skin::Registry()) {
        const auto path = dir / image.name;
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
        if (!image.write(path.string())) {
            std::fprintf(stderr, "skingen: cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
