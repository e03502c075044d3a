// The outer layer of a DirectX .x file: the 16-byte header ("xof 0303txt 0032"
// and its variants) and, for the compressed kinds, the MSZIP blocks that hold
// the body. What comes out is the body as plain text or binary tokens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace xfile {

struct Body {
    bool binary = false;             // "bin " / "bzip" rather than "txt " / "tzip"
    bool doubleFloats = false;       // "0064": binary float lists hold 8-byte values
    std::vector<uint8_t> inflated;   // the body of a compressed file
    std::span<const uint8_t> bytes;  // the body: into the input, or into `inflated`
};

// Reads the header and, for "tzip" and "bzip", inflates the blocks; the
// inflated body may not exceed `maxInflatedBytes`. False with a reason in
// `error` for anything that is not a well-formed .x container.
bool openBody(std::span<const uint8_t> file, size_t maxInflatedBytes, Body& body,
              std::string& error);

}  // namespace xfile
