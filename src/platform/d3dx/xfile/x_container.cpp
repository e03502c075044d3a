#include "platform/d3dx/xfile/x_container.h"

#include <zlib.h>

#include <cstring>

namespace xfile {
namespace {

constexpr size_t kHeaderSize = 16;
// One MSZIP block inflates to at most one deflate window.
constexpr size_t kMaxBlockBytes = 32768;

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool field(std::span<const uint8_t> file, size_t offset, const char* text) {
    return std::memcmp(file.data() + offset, text, 4) == 0;
}

// Inflates one block: a raw deflate stream that may refer back into the
// previous block's output, which is therefore set as its dictionary.
bool inflateBlock(std::span<const uint8_t> compressed, std::span<const uint8_t> dictionary,
                  uint8_t* out, size_t outSize, std::string& error) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        error = "cannot start the inflater";
        return false;
    }
    bool ok = true;
    if (!dictionary.empty() && inflateSetDictionary(&stream, dictionary.data(),
                                                    static_cast<uInt>(dictionary.size())) != Z_OK) {
        error = "cannot set the inflate dictionary";
        ok = false;
    }
    if (ok) {
        stream.next_in = const_cast<Bytef*>(compressed.data());
        stream.avail_in = static_cast<uInt>(compressed.size());
        stream.next_out = out;
        stream.avail_out = static_cast<uInt>(outSize);
        const int result = inflate(&stream, Z_FINISH);
        // A block whose stream was flushed rather than finished is complete
        // once its declared size has come out.
        const bool complete = result == Z_STREAM_END ||
                              ((result == Z_OK || result == Z_BUF_ERROR) && stream.avail_out == 0);
        if (!complete) {
            error = "corrupt compressed block";
            ok = false;
        } else if (stream.avail_out != 0) {
            error = "compressed block shorter than declared";
            ok = false;
        }
    }
    inflateEnd(&stream);
    return ok;
}

bool inflateBody(std::span<const uint8_t> file, size_t maxInflatedBytes, Body& body,
                 std::string& error) {
    if (file.size() < kHeaderSize + 4) {
        error = "compressed file without its size field";
        return false;
    }
    // The declared size counts the 16 header bytes; it only serves as a check,
    // never as an allocation size.
    const uint32_t declared = readU32(file.data() + kHeaderSize);
    size_t position = kHeaderSize + 4;
    std::vector<uint8_t>& out = body.inflated;
    while (position < file.size()) {
        if (file.size() - position < 4) {
            error = "truncated block header";
            return false;
        }
        const size_t inflatedSize = readU16(file.data() + position);
        const size_t compressedSize = readU16(file.data() + position + 2);
        position += 4;
        if (compressedSize < 2 || compressedSize > file.size() - position) {
            error = "truncated compressed block";
            return false;
        }
        if (file[position] != 'C' || file[position + 1] != 'K') {
            error = "compressed block without its CK signature";
            return false;
        }
        if (inflatedSize == 0 || inflatedSize > kMaxBlockBytes) {
            error = "compressed block with an impossible size";
            return false;
        }
        if (out.size() + inflatedSize > maxInflatedBytes) {
            error = "inflated body too large";
            return false;
        }
        const size_t start = out.size();
        const size_t dictionaryStart = start > kMaxBlockBytes ? start - kMaxBlockBytes : 0;
        // The dictionary is the previous block, which `resize` may move: copy
        // the window first.
        std::vector<uint8_t> dictionary(out.begin() + static_cast<ptrdiff_t>(dictionaryStart),
                                        out.end());
        out.resize(start + inflatedSize);
        if (!inflateBlock(file.subspan(position + 2, compressedSize - 2), dictionary,
                          out.data() + start, inflatedSize, error)) {
            return false;
        }
        position += compressedSize;
    }
    if (out.size() + kHeaderSize != declared) {
        error = "inflated size differs from the declared size";
        return false;
    }
    body.bytes = out;
    return true;
}

}  // namespace

bool openBody(std::span<const uint8_t> file, size_t maxInflatedBytes, Body& body,
              std::string& error) {
    body = Body{};
    if (file.size() < kHeaderSize) {
        error = "shorter than the .x header";
        return false;
    }
    if (!field(file, 0, "xof ")) {
        error = "not a .x file";
        return false;
    }
    if (!field(file, 4, "0303") && !field(file, 4, "0302")) {
        error = "unsupported .x version";
        return false;
    }
    bool compressed = false;
    if (field(file, 8, "txt ")) {
    } else if (field(file, 8, "bin ")) {
        body.binary = true;
    } else if (field(file, 8, "tzip")) {
        compressed = true;
    } else if (field(file, 8, "bzip")) {
        body.binary = true;
        compressed = true;
    } else {
        error = "unsupported .x format";
        return false;
    }
    if (field(file, 12, "0064")) {
        body.doubleFloats = true;
    } else if (!field(file, 12, "0032")) {
        error = "unsupported float size";
        return false;
    }
    if (compressed) return inflateBody(file, maxInflatedBytes, body, error);
    body.bytes = file.subspan(kHeaderSize);
    return true;
}

}  // namespace xfile
