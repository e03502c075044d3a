#include "platform/d3dx/texture_cache.h"

#include "platform/d3dx/files.h"
#include "platform/d3dx/mesh_file.h"

namespace d3dx {
namespace {

constexpr size_t kMaxFileBytes = size_t{256} << 20;

class FileSystemSource final : public TextureSource {
public:
    std::optional<xfile::FileStamp> stamp(const char* name) override { return fileStamp(name); }
    bool read(const char* name, std::vector<uint8_t>& bytes) override {
        return readModelFile(name, kMaxFileBytes, bytes);
    }
    uint64_t now() override { return fileClockNow(); }
    uint64_t modelLoads() override { return d3dx::modelLoads(); }
};

}  // namespace

TextureSource& fileTextureSource() {
    static FileSystemSource source;
    return source;
}

}  // namespace d3dx
