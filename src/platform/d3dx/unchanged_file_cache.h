// What was read from a file, kept for as long as the file system shows the
// file unchanged, so that a file read on every frame is parsed once.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace xfile {

// What the file system tells about a file without opening it. Times are in
// 100-nanosecond ticks on the clock that `readTime` below comes from.
struct FileStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;
    uint64_t changeTime = 0;  // of the file's entry: set by every write, copy and rename

    bool operator==(const FileStamp&) const = default;
};

// File times advance in the clock ticks of the file system (a few
// milliseconds on Linux), so a file written twice within one tick, with the
// same size, keeps its stamp. What was read counts for later equal stamps only
// when the file's times were this far behind the clock at the read: no write
// can then still fall into the same tick.
constexpr uint64_t kSettleTicks = 2 * 10'000'000;  // 2 s

// Whether content read at `readTime` (taken before the read) under `stamp`
// stands for the file as long as its stamp stays the same.
constexpr bool isSettled(const FileStamp& stamp, uint64_t readTime) {
    const uint64_t latest = stamp.writeTime > stamp.changeTime ? stamp.writeTime : stamp.changeTime;
    return latest <= readTime && readTime - latest >= kSettleTicks;
}

// One file's content. A copy is kept only when its stamp had settled.
template <class Content>
class UnchangedFileCache {
public:
    // The content kept for this name and stamp, or null.
    const Content* find(std::string_view name, const FileStamp& stamp) const {
        if (!content_ || name != name_ || !(stamp == stamp_)) return nullptr;
        return &*content_;
    }

    // Keeps `content`, read at `readTime` under `stamp`, if it may stand for
    // the file; forgets what was kept otherwise.
    void store(std::string_view name, const FileStamp& stamp, uint64_t readTime,
               const Content& content) {
        if (!isSettled(stamp, readTime)) {
            clear();
            return;
        }
        name_ = name;
        stamp_ = stamp;
        content_ = content;
    }

    void clear() {
        content_.reset();
        name_.clear();
    }

private:
    std::string name_;
    FileStamp stamp_;
    std::optional<Content> content_;
};

}  // namespace xfile
