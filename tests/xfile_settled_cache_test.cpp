// The kept parse of a file read on every frame: when a stamp may stand for the
// file's content, and when what was kept must be read again.
#include <gtest/gtest.h>

#include <string>

#include "platform/d3dx/settled_file_cache.h"

namespace {

using xfile::FileStamp;
using xfile::isSettled;
using xfile::kSettleTicks;
using xfile::SettledFileCache;

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

TEST(SettledFileCache, KeepsASettledReadForTheSameNameAndStamp) {
    SettledFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    EXPECT_EQ(cache.find("model.x", old), nullptr);
    cache.store("model.x", old, kNow, "mesh");
    ASSERT_NE(cache.find("model.x", old), nullptr);
    EXPECT_EQ(*cache.find("model.x", old), "mesh");
    // Still there many frames later.
    EXPECT_NE(cache.find("model.x", old), nullptr);
}

TEST(SettledFileCache, AnyChangeOfNameOrStampReadsAgain) {
    SettledFileCache<std::string> cache;
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

TEST(SettledFileCache, AFreshlyWrittenFileIsNotKeptAndForgetsTheOldOne) {
    SettledFileCache<std::string> cache;
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

TEST(SettledFileCache, ClearForgets) {
    SettledFileCache<std::string> cache;
    const FileStamp old = stampAt(kNow - 60 * kSecond);
    cache.store("model.x", old, kNow, "mesh");
    cache.clear();
    EXPECT_EQ(cache.find("model.x", old), nullptr);
    // An empty name kept is not found by an empty name after clearing.
    cache.store("", old, kNow, "unnamed");
    cache.clear();
    EXPECT_EQ(cache.find("", old), nullptr);
}

}  // namespace
