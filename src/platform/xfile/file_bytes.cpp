#include "platform/xfile/file_bytes.h"

#include <cstdio>

namespace xfile {

bool readFileBytes(const char* fileName, size_t maxBytes, std::vector<uint8_t>& bytes,
                   std::string& error) {
    bytes.clear();
    if (fileName == nullptr) {
        error = "no file name";
        return false;
    }
    std::FILE* file = std::fopen(fileName, "rb");
    if (file == nullptr) {
        error = "cannot open the file";
        return false;
    }
    // Read in pieces: the size the file system reports is not trusted.
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        const size_t got = std::fread(chunk, 1, sizeof chunk, file);
        if (got > maxBytes - bytes.size()) {
            error = "file too large";
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            if (std::ferror(file)) {
                error = "cannot read the file";
                ok = false;
            }
            break;
        }
    }
    std::fclose(file);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace xfile
