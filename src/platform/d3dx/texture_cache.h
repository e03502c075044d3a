// The textures a device keeps for the files D3DXCreateTextureFromFile reads.
// The program loads its model, and with it every texture its materials name,
// on every frame. A file whose bytes gave a texture before gives that texture
// again, shared: an unchanged file is decoded once, however many materials
// name it and whatever else is loaded between them, and a changed file is
// decoded at once (the feedback image changes every frame). Bytes that are no
// picture are remembered as such, so they are not tried again either.
//
// A file is looked at through its stamp (size, write and change time,
// unchanged_file_cache.h): while the stamp stays the same and had settled when
// the file was read, the file is not read again; otherwise it is read, and its
// bytes' hash (byte_hash.h) tells whether they are bytes seen before. Within
// one model load a name is looked at once: a model of many materials naming a
// few files costs a few looks at the file system, not one per material.
//
// What is kept: the textures of the names asked for in this model load and
// the one before (what the current model uses), those still held by anyone
// (a texture object handed out, the device while it is bound), and a few
// more, the last used. A texture that nobody holds and that is no longer kept
// is refilled for the next new picture of its size and kind rather than made
// anew, but not one the last model load used: the frame drawn with it may
// still be drawing (a file that changes every frame thus takes turns between
// two textures). One that is held is never refilled, so a texture handed out
// shows the same picture for as long as it lives.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/d3dx/byte_hash.h"
#include "platform/d3dx/image/image.h"
#include "platform/d3dx/texture_size.h"
#include "platform/d3dx/unchanged_file_cache.h"

namespace d3dx {

// What the cache sees of the world. `now` is on the clock of file times;
// `modelLoads` counts the model loads so far (mesh_file.h).
class TextureSource {
public:
    virtual ~TextureSource() = default;
    virtual std::optional<xfile::FileStamp> stamp(const char* name) = 0;
    // The whole file, its name read as the program's models name files
    // (readModelFile in files.h); false when there is no such file.
    virtual bool read(const char* name, std::vector<uint8_t>& bytes) = 0;
    virtual uint64_t now() = 0;
    virtual uint64_t modelLoads() = 0;
};

// The file system, through files.h and mesh_file.h.
TextureSource& fileTextureSource();

// What a device does for the cache. `Texture` tells its `width`, `height` and
// `alpha` (A8R8G8B8 rather than X8R8G8B8).
template <class Texture>
class TextureMaker {
public:
    virtual ~TextureMaker() = default;
    virtual TextureLimits limits() = 0;
    // A new texture holding the picture, which is of a size the device
    // takes; null when the device cannot make one.
    virtual std::shared_ptr<Texture> create(const image::Image& picture) = 0;
    // Fills a texture of the picture's size and kind with it; false when
    // that fails.
    virtual bool refill(Texture& texture, const image::Image& picture) = 0;
};

enum class TextureLookup { found, noFile, notPicture, noTexture };

template <class Texture>
class TextureCache {
public:
    using Shared = std::shared_ptr<Texture>;

    // Textures not in use and no longer asked for that are kept all the same.
    static constexpr size_t kSpare = 4;
    // How long one look at a name stands for the rest of a model load.
    static constexpr uint64_t kLookStands = 2'500'000;  // 0.25 s

    explicit TextureCache(TextureSource& source = fileTextureSource()) : source_(source) {}
    TextureCache(const TextureCache&) = delete;
    TextureCache& operator=(const TextureCache&) = delete;

    // The texture of the named file's picture, in `texture` when found.
    TextureLookup find(const char* name, TextureMaker<Texture>& maker, Shared& texture) {
        texture.reset();
        if (name == nullptr) return TextureLookup::noFile;
        const uint64_t now = source_.now();
        const uint64_t load = source_.modelLoads();
        if (load != load_) startLoad(load);
        auto it = names_.find(std::string_view(name));
        if (it == names_.end()) it = names_.emplace(name, Name{}).first;
        Name& entry = it->second;
        const bool looked = load != 0 && entry.load == load && now >= entry.lookedAt &&
                            now - entry.lookedAt < kLookStands;
        if (!looked && !look(name, entry, now, maker)) {
            names_.erase(it);
            return TextureLookup::noTexture;
        }
        entry.load = load;
        if (!entry.found) return TextureLookup::noFile;
        Content& content = contents_.at(entry.key);
        content.lastUse = ++clock_;
        content.load = load;
        if (!content.texture) return TextureLookup::notPicture;
        texture = content.texture;
        return TextureLookup::found;
    }

    // Pictures decoded so far.
    uint64_t decodes() const { return decodes_; }
    // Pictures kept (textures, and bytes that are no picture).
    size_t kept() const { return contents_.size(); }

    void clear() {
        names_.clear();
        contents_.clear();
    }

private:
    struct Key {
        uint64_t hash = 0;
        uint64_t size = 0;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const { return static_cast<size_t>(key.hash); }
    };
    struct Content {
        Shared texture;  // null: the bytes are no picture
        uint64_t lastUse = 0;
        uint64_t load = 0;   // the model load it was last found in
        uint32_t names = 0;  // names whose file holds these bytes now
    };
    struct Name {
        bool found = false;  // the file was read; its bytes are `key`
        Key key;
        std::optional<xfile::FileStamp> stamp;
        bool settled = false;  // the stamp may stand for the bytes
        uint64_t load = 0;     // the model load it was last asked for in
        uint64_t lookedAt = 0;
    };
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };

    // Looks at the file; false when its picture is new and the device could
    // make no texture for it.
    bool look(const char* name, Name& entry, uint64_t now, TextureMaker<Texture>& maker) {
        entry.lookedAt = now;
        const std::optional<xfile::FileStamp> stamp = source_.stamp(name);
        if (entry.found && entry.settled && stamp && stamp == entry.stamp) return true;
        detach(entry);
        if (!source_.read(name, bytes_)) return true;
        const Key key{hashBytes(bytes_), bytes_.size()};
        if (!contents_.contains(key) && !make(key, maker)) return false;
        entry.found = true;
        entry.key = key;
        entry.stamp = stamp;
        entry.settled = stamp && xfile::isSettled(*stamp, now);
        ++contents_.at(key).names;
        return true;
    }

    void detach(Name& entry) {
        if (entry.found) --contents_.at(entry.key).names;
        entry.found = false;
        entry.stamp.reset();
        entry.settled = false;
    }

    // Decodes the bytes just read into a texture kept under `key`.
    bool make(const Key& key, TextureMaker<Texture>& maker) {
        ++decodes_;
        image::Image picture;
        std::string error;
        if (!image::decodeImage(bytes_, picture, error)) {
            contents_[key] = Content{nullptr, ++clock_, load_, 0};
            trim();
            return true;
        }
        uint32_t width = picture.width;
        uint32_t height = picture.height;
        fitPictureSize(maker.limits(), width, height);
        if (width != picture.width || height != picture.height) {
            picture = image::resizedNearest(picture, width, height);
        }
        Shared texture = takeUnused(picture);
        if (texture && !maker.refill(*texture, picture)) texture.reset();
        if (!texture) {
            trim();
            texture = maker.create(picture);
            if (!texture) return false;
        }
        contents_[key] = Content{std::move(texture), ++clock_, load_, 0};
        trim();
        return true;
    }

    static bool unused(const Content& content) {
        return content.names == 0 && (!content.texture || content.texture.use_count() == 1);
    }

    // The texture of an unused picture of this size and kind, used longest
    // ago and not in the last model load, taken out of the cache; null when
    // there is none.
    Shared takeUnused(const image::Image& picture) {
        auto best = contents_.end();
        for (auto it = contents_.begin(); it != contents_.end(); ++it) {
            const Content& content = it->second;
            if (!unused(content) || !content.texture) continue;
            if (load_ != 0 && content.load + 1 >= load_) continue;
            const Texture& texture = *content.texture;
            if (texture.width != picture.width || texture.height != picture.height ||
                texture.alpha != picture.hasAlpha)
                continue;
            if (best == contents_.end() || content.lastUse < best->second.lastUse) best = it;
        }
        if (best == contents_.end()) return nullptr;
        Shared texture = std::move(best->second.texture);
        contents_.erase(best);
        return texture;
    }

    // A new model load: names asked for neither in it nor in the one before
    // are forgotten.
    void startLoad(uint64_t load) {
        load_ = load;
        for (auto it = names_.begin(); it != names_.end();) {
            if (it->second.load + 1 < load) {
                detach(it->second);
                it = names_.erase(it);
            } else {
                ++it;
            }
        }
        trim();
    }

    // Gives up unused pictures beyond the few spare ones, the longest unused
    // first.
    void trim() {
        std::vector<uint64_t> unusedUses;
        for (const auto& [key, content] : contents_) {
            if (unused(content)) unusedUses.push_back(content.lastUse);
        }
        if (unusedUses.size() <= kSpare) return;
        std::nth_element(unusedUses.begin(), unusedUses.end() - kSpare, unusedUses.end());
        const uint64_t oldestKept = *(unusedUses.end() - kSpare);
        std::erase_if(contents_, [&](const auto& item) {
            return unused(item.second) && item.second.lastUse < oldestKept;
        });
    }

    TextureSource& source_;
    std::unordered_map<std::string, Name, NameHash, std::equal_to<>> names_;
    std::unordered_map<Key, Content, KeyHash> contents_;
    std::vector<uint8_t> bytes_;  // the last file read, kept for its capacity
    uint64_t load_ = 0;
    uint64_t clock_ = 0;
    uint64_t decodes_ = 0;
};

}  // namespace d3dx
