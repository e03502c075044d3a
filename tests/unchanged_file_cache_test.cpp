// What is kept of files read on every frame: when a stamp may stand for the
// file's content, and when what was kept must be read again; the textures
// kept for the files a model names, as both backends' D3DXCreateTextureFromFile
// find them (an unchanged file decoded once, a changed one at once).
#include "platform/d3dx/unchanged_file_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/d3dx/texture_cache.h"
#include "xfile_test_support.h"

namespace {

using xfile::FileStamp;
using xfile::isSettled;
using xfile::kSettleTicks;
using xfile::UnchangedFileCache;

constexpr uint64_t kSecond = 10'000'000;
constexpr uint64_t kNow = 13'400'000'000 * kSecond;  // some day in 2025, in file-time ticks

FileStamp stampAt(uint64_t writeTime, uint64_t size = 3485, uint64_t changeTime = 0) {
    return FileStamp{size, writeTime, changeTime};
}

TEST(SettledStamp, OnlyTimesWellBehindTheClockCount) {
    EXPECT_TRUE(isSettled(stampAt(kNow - kSettleTicks), kNow));
    EXPECT_TRUE(isSettled(stampAt(kNow - 3600 * kSecond), kNow));
    // Written within the settle time: a second write may share the tick.
    EXPECT_FALSE(isSettled(stampAt(kNow - kSettleTicks + 1), kNow));
    EXPECT_FALSE(isSettled(stampAt(kNow), kNow));
    // A time ahead of the clock (a file from a machine whose clock is ahead,
    // or a clock set back) never settles; no wrap-around makes it look old.
    EXPECT_FALSE(isSettled(stampAt(kNow + 1), kNow));
    EXPECT_FALSE(isSettled(stampAt(UINT64_MAX), kNow));
}

TEST(SettledStamp, TheLaterOfWriteAndChangeTimeDecides) {
    // A file copied with its old write time keeps it but is changed now.
    EXPECT_FALSE(isSettled(stampAt(kNow - 3600 * kSecond, 10, kNow), kNow));
    EXPECT_FALSE(isSettled(stampAt(kNow, 10, kNow - 3600 * kSecond), kNow));
    EXPECT_TRUE(isSettled(stampAt(kNow - 10 * kSecond, 10, kNow - 60 * kSecond), kNow));
}

TEST(UnchangedFileCache, KeepsASettledReadForTheSameNameAndStamp) {
    UnchangedFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    EXPECT_EQ(cache.find("model.x", old), nullptr);
    cache.store("model.x", old, kNow, "mesh");
    ASSERT_NE(cache.find("model.x", old), nullptr);
    EXPECT_EQ(*cache.find("model.x", old), "mesh");
    // Still there many frames later.
    EXPECT_NE(cache.find("model.x", old), nullptr);
}

TEST(UnchangedFileCache, AnyChangeOfNameOrStampReadsAgain) {
    UnchangedFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    cache.store("model.x", old, kNow, "mesh");
    EXPECT_EQ(cache.find("other.x", old), nullptr);
    EXPECT_EQ(cache.find("model.x", stampAt(old.writeTime + 1)), nullptr);  // written again
    EXPECT_EQ(cache.find("model.x", stampAt(old.writeTime, old.size + 1)), nullptr);
    EXPECT_EQ(cache.find("model.x", stampAt(old.writeTime, old.size - 1)), nullptr);
    EXPECT_EQ(cache.find("model.x", stampAt(old.writeTime, old.size, 1)), nullptr);
    EXPECT_EQ(cache.find("model.x", stampAt(old.writeTime - 1)),
              nullptr);  // an older copy put back
}

TEST(UnchangedFileCache, AFreshlyWrittenFileIsNotKeptAndForgetsTheOldOne) {
    UnchangedFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    cache.store("model.x", old, kNow, "old mesh");
    // Rewritten just now, in pieces perhaps: what was read may be half of it.
    const FileStamp fresh = stampAt(kNow - kSecond, 100);
    cache.store("model.x", fresh, kNow, "half a mesh");
    EXPECT_EQ(cache.find("model.x", fresh), nullptr);
    EXPECT_EQ(cache.find("model.x", old), nullptr);
    // Read again once it has settled, it is kept.
    cache.store("model.x", fresh, kNow + kSettleTicks, "whole mesh");
    ASSERT_NE(cache.find("model.x", fresh), nullptr);
    EXPECT_EQ(*cache.find("model.x", fresh), "whole mesh");
}

TEST(UnchangedFileCache, ClearForgets) {
    UnchangedFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    cache.store("model.x", old, kNow, "mesh");
    cache.clear();
    EXPECT_EQ(cache.find("model.x", old), nullptr);
    // An empty name kept is not found by an empty name after clearing.
    cache.store("", old, kNow, "unnamed");
    cache.clear();
    EXPECT_EQ(cache.find("", old), nullptr);
}

// ---------------------------------------------------------------------------
// The texture cache, over files and a device of its own

struct FakeTexture {
    uint32_t width = 0;
    uint32_t height = 0;
    bool alpha = false;
    std::vector<uint32_t> pixels;
};

class FakeFiles final : public d3dx::TextureSource {
public:
    std::optional<FileStamp> stamp(const char* name) override {
        ++stamps;
        const auto it = files.find(name);
        if (it == files.end()) return std::nullopt;
        return it->second.stamp;
    }
    bool read(const char* name, std::vector<uint8_t>& bytes) override {
        ++reads;
        const auto it = files.find(name);
        if (it == files.end()) return false;
        bytes = it->second.bytes;
        return true;
    }
    uint64_t now() override { return clock; }
    uint64_t modelLoads() override { return loads; }

    // Written now: its stamp settles two seconds later.
    void write(const std::string& name, std::vector<uint8_t> bytes) {
        const uint64_t size = bytes.size();
        files[name] = {std::move(bytes), FileStamp{size, clock, clock}};
    }

    struct File {
        std::vector<uint8_t> bytes;
        FileStamp stamp;
    };
    std::map<std::string, File, std::less<>> files;
    uint64_t clock = kNow;
    uint64_t loads = 0;
    int stamps = 0;
    int reads = 0;
};

class FakeDevice final : public d3dx::TextureMaker<FakeTexture> {
public:
    d3dx::TextureLimits limits() override { return {}; }
    std::shared_ptr<FakeTexture> create(const image::Image& picture) override {
        ++creates;
        return std::make_shared<FakeTexture>(
            FakeTexture{picture.width, picture.height, picture.hasAlpha, picture.pixels});
    }
    bool refill(FakeTexture& texture, const image::Image& picture) override {
        ++refills;
        texture.pixels = picture.pixels;
        return true;
    }
    int creates = 0;
    int refills = 0;
};

std::vector<uint8_t> corpusPicture(const std::string& name) {
    return xtest::fileBytes(xtest::dataDir() / "images" / name);
}

// The 5 x 3 corpus bitmap with its first pixel (bottom left) set to `blue`.
std::vector<uint8_t> patternWithBlue(uint8_t blue) {
    std::vector<uint8_t> bytes = corpusPicture("pattern_24.bmp");
    bytes.at(54) = blue;
    return bytes;
}

uint32_t bottomLeftBlue(const FakeTexture& texture) {
    return texture.pixels.at(size_t{texture.height - 1} * texture.width) & 0xFF;
}

class TextureCacheTest : public ::testing::Test {
protected:
    using Cache = d3dx::TextureCache<FakeTexture>;

    void SetUp() override {
        files.write("a.bmp", corpusPicture("pattern_24.bmp"));
        // Same size (5 x 3), other bytes, other format.
        files.write("b.png", corpusPicture("pattern.png"));
        files.write("c.bmp", patternWithBlue(0xC0));
        files.write("text.bmp", xtest::bytesOf("no picture"));
    }

    // One model load, as the program makes it every frame: the mesh first,
    // then one texture per material. The textures live until the next load.
    const std::vector<std::shared_ptr<FakeTexture>>& load(const std::vector<std::string>& names) {
        model.clear();
        files.clock += 100'000;  // 10 ms a frame
        ++files.loads;
        for (const std::string& name : names) {
            std::shared_ptr<FakeTexture> texture;
            cache.find(name.c_str(), device, texture);
            model.push_back(std::move(texture));
        }
        return model;
    }

    void settle() { files.clock += xfile::kSettleTicks; }

    FakeFiles files;
    FakeDevice device;
    Cache cache{files};
    std::vector<std::shared_ptr<FakeTexture>> model;
};

TEST_F(TextureCacheTest, SameBytesAreDecodedOnceChangedBytesAtOnce) {
    const auto first = load({"a.bmp"});
    ASSERT_NE(first[0], nullptr);
    EXPECT_EQ(first[0]->width, 8u) << "5 x 3, brought to powers of two";
    EXPECT_EQ(first[0]->height, 4u);
    std::shared_ptr<FakeTexture> kept = first[0];
    // Just written: read again each load (it may still be written to), never
    // decoded again.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(load({"a.bmp"})[0], kept);
    EXPECT_EQ(files.reads, 6);
    settle();
    load({"a.bmp"});
    const int reads = files.reads;
    for (int i = 0; i < 100; ++i) EXPECT_EQ(load({"a.bmp"})[0], kept);
    EXPECT_EQ(files.reads, reads) << "a settled, unchanged file is not read again";
    EXPECT_EQ(cache.decodes(), 1u);

    // Rewritten with other bytes: the next load shows them.
    files.write("a.bmp", patternWithBlue(0x77));
    const auto changed = load({"a.bmp"});
    EXPECT_EQ(cache.decodes(), 2u);
    EXPECT_EQ(bottomLeftBlue(*changed[0]), 0x77u);
    // Rewritten with the same bytes again: read, not decoded.
    files.write("a.bmp", patternWithBlue(0x77));
    EXPECT_EQ(load({"a.bmp"})[0], changed[0]);
    EXPECT_EQ(cache.decodes(), 2u);

    // Bytes that are no picture, and missing files, are no texture; the
    // former are not decoded again either.
    EXPECT_EQ(load({"text.bmp", "missing.bmp"}),
              (std::vector<std::shared_ptr<FakeTexture>>{nullptr, nullptr}));
    load({"text.bmp", "missing.bmp"});
    EXPECT_EQ(cache.decodes(), 3u);
    std::shared_ptr<FakeTexture> none;
    EXPECT_EQ(cache.find("text.bmp", device, none), d3dx::TextureLookup::notPicture);
    EXPECT_EQ(cache.find("missing.bmp", device, none), d3dx::TextureLookup::noFile);
}

TEST_F(TextureCacheTest, MaterialsSharingFilesOfOneSizeAmongChangingAndMissingOnes) {
    // The feedback image (c) changes every frame and is of the size of a and
    // b; materials name a twice, missing files lie between them.
    settle();
    const std::vector<std::string> names{"c.bmp", "a.bmp", "missing.bmp", "b.png",
                                         "a.bmp", "c.bmp", "missing.bmp"};
    const auto& first = load(names);  // the model: given up at the next load
    EXPECT_EQ(first[1], first[4]) << "two materials on one file share its texture";
    EXPECT_EQ(first[0], first[5]);
    EXPECT_NE(first[1], first[3]);
    const std::vector<uint32_t> a = first[1]->pixels;
    const std::vector<uint32_t> b = first[3]->pixels;
    for (uint8_t frame = 1; frame <= 50; ++frame) {
        files.write("c.bmp", patternWithBlue(frame));
        const int stamps = files.stamps;
        const auto& textures = load(names);
        EXPECT_EQ(files.stamps - stamps, 4) << "each name looked at once per load";
        EXPECT_EQ(bottomLeftBlue(*textures[0]), frame);
        EXPECT_EQ(textures[1]->pixels, a);
        EXPECT_EQ(textures[3]->pixels, b);
        EXPECT_EQ(textures[2], nullptr);
    }
    EXPECT_EQ(cache.decodes(), 3u + 50u) << "a and b once, c once per change";
    EXPECT_EQ(device.creates, 4) << "c's textures refilled in turn, not made anew";
    // Memory: the model's three pictures and a few spare ones.
    EXPECT_LE(cache.kept(), 3 + Cache::kSpare);
    // Once the model names other files, what it named is given up.
    for (int i = 0; i < 3; ++i) load({"text.bmp"});
    model.clear();
    load({"text.bmp"});
    EXPECT_LE(cache.kept(), 1 + Cache::kSpare);
}

TEST_F(TextureCacheTest, ATextureBoundAcrossTheReloadKeepsItsPicture) {
    settle();
    // The device still binds c's texture from the frame before when the
    // model is loaded again, and c has changed meanwhile.
    std::shared_ptr<FakeTexture> bound = load({"a.bmp", "c.bmp"})[1];
    const std::vector<uint32_t> before = bound->pixels;
    files.write("c.bmp", patternWithBlue(9));
    const auto& next = load({"a.bmp", "c.bmp"});
    EXPECT_NE(next[1], bound);
    EXPECT_EQ(bound->pixels, before) << "a bound texture is never refilled";
    EXPECT_EQ(bottomLeftBlue(*next[1]), 9u);
    // Unchanged and still bound, it is the one found.
    files.write("c.bmp", patternWithBlue(0xC0));
    EXPECT_EQ(load({"a.bmp", "c.bmp"})[1], bound);
    EXPECT_EQ(cache.decodes(), 3u);
    // Once nothing holds it, it is reused for a new picture of its size, in
    // turn with one other: never the one the frame before drew with.
    bound.reset();
    model.clear();
    const int creates = device.creates;
    const FakeTexture* last = nullptr;
    for (uint8_t frame = 20; frame < 30; ++frame) {
        files.write("c.bmp", patternWithBlue(frame));
        const FakeTexture* now = load({"a.bmp", "c.bmp"})[1].get();
        EXPECT_NE(now, last);
        last = now;
    }
    EXPECT_EQ(device.creates, creates);
}

}  // namespace
