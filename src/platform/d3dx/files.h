// The file system as our D3DX subset reads it: the model, its pictures and
// their stamps. Each backend implements these (win32/, linux/). Names are the
// bytes the program and its models give: code page 932 unless said otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/d3dx/unchanged_file_cache.h"

namespace d3dx {

// How the bytes of a name are read: as code page 932 (the program's names),
// as UTF-8, or in the system's code page.
enum class NameEncoding { cp932, utf8, system };

// The whole file in one read; false when the name is not valid in that
// encoding (or reads as a name already tried in another: UTF-8 and the
// system's code page are tried only where they give another name), or the
// file cannot be opened or read, or is larger than `maxBytes`.
bool readWholeFile(const char* name, NameEncoding encoding, size_t maxBytes,
                   std::vector<uint8_t>& bytes);

// The file's size, write time and change time without opening it; nothing
// for a folder, a name that is not there, or where the system cannot tell.
std::optional<xfile::FileStamp> fileStamp(const char* name);

// The clock that file times are on, in the same ticks.
uint64_t fileClockNow();

// A file a model names: its name read as code page 932, then as UTF-8, then
// in the system's code page, the first that names a readable file. A model
// written on a system of another language names its pictures in that
// system's code page, or in UTF-8.
bool readModelFile(const char* name, size_t maxBytes, std::vector<uint8_t>& bytes);

}  // namespace d3dx
