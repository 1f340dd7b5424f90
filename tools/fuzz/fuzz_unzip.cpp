// Zip archives from the network through the unpacker: whatever the bytes, nothing may
// appear in the sandbox beside the archive and the target folder.
#include "update/Unzip.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path& Sandbox()
{
    static const fs::path sandbox = [] {
        fs::path p = fs::temp_directory_path() / ("keystead-fuzz-unzip-" + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }();
    return sandbox;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fs::path archive = Sandbox() / "archive.zip";
    const fs::path target = Sandbox() / "target";
    {
        std::ofstream out(archive, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    UnzipLimits limits;
    limits.maxTotalBytes = 4u << 20;
    limits.maxEntries = 256;
    Unzip(archive.wstring(), target.wstring(), limits);
    for (const fs::directory_entry& e : fs::directory_iterator(Sandbox()))
        if (e.path() != archive && e.path() != target)
            std::abort();
    std::error_code ignored;
    fs::remove_all(target, ignored);
    return 0;
}
