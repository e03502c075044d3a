// A quick 64-bit hash of a file's bytes: how both backends' texture pools
// tell that a file holds the picture a kept texture already has. Not for
// anything an adversary chooses to collide: a collision shows an old picture
// for one frame.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

namespace d3dx {

inline uint64_t hashBytes(std::span<const uint8_t> bytes) {
    uint64_t hash = 0x9E3779B97F4A7C15ull ^ bytes.size();
    size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    for (; i < bytes.size(); ++i) hash = (hash ^ bytes[i]) * 0x100000001B3ull;
    return hash;
}

}  // namespace d3dx
