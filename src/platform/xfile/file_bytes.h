// Reads a whole file into memory, for the mesh and image readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xfile {

// The file's bytes, or false with a reason: missing, unreadable, or larger
// than `maxBytes`. The name is passed to the C library as it stands.
bool readFileBytes(const char* fileName, size_t maxBytes, std::vector<uint8_t>& bytes,
                   std::string& error);

}  // namespace xfile
