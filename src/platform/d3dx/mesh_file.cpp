#include "platform/d3dx/mesh_file.h"

#include <string>
#include <vector>

#include "platform/d3dx/files.h"
#include "platform/d3dx/unchanged_file_cache.h"
#include "platform/d3dx/xfile/x_reader.h"

namespace d3dx {
namespace {

using SharedMesh = std::shared_ptr<const xfile::Mesh>;

xfile::UnchangedFileCache<SharedMesh>& parsedMeshes() {
    static xfile::UnchangedFileCache<SharedMesh> cache;
    return cache;
}

uint64_t loads = 0;

}  // namespace

uint64_t modelLoads() { return loads; }

SharedMesh readMeshFileKept(const char* fileName) {
    if (fileName == nullptr) return nullptr;
    ++loads;
    xfile::UnchangedFileCache<SharedMesh>& cache = parsedMeshes();
    const uint64_t readTime = fileClockNow();
    const std::optional<xfile::FileStamp> stamp = fileStamp(fileName);
    if (stamp) {
        if (const SharedMesh* kept = cache.find(fileName, *stamp)) return *kept;
    }

    const xfile::ReadLimits limits;
    std::vector<uint8_t> bytes;
    auto loaded = std::make_shared<xfile::Mesh>();
    std::string error;
    if (!readWholeFile(fileName, NameEncoding::cp932, limits.maxFileBytes, bytes) ||
        !xfile::readMesh(bytes, *loaded, error, limits)) {
        cache.clear();
        return nullptr;
    }
    if (stamp) {
        cache.store(fileName, *stamp, readTime, loaded);
    } else {
        cache.clear();
    }
    return loaded;
}

}  // namespace d3dx
