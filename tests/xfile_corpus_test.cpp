// Every file of the generated corpus (tools/make-x-corpus.py) reads, and the
// encodings of one model read to the same mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "xfile_test_support.h"

namespace {

struct Entry {
    std::string file;
    std::string model;
    std::string encoding;
};

std::vector<Entry> corpus() {
    std::vector<Entry> entries;
    std::ifstream in(xtest::dataDir() / "x" / "corpus.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        Entry entry;
        fields >> entry.file >> entry.model >> entry.encoding;
        entries.push_back(entry);
    }
    return entries;
}

xfile::Mesh read(const std::string& file) {
    xfile::Mesh mesh;
    std::string error;
    EXPECT_TRUE(xfile::readMesh(xtest::corpusFile(file), mesh, error)) << file << ": " << error;
    return mesh;
}

bool sameMaterials(const xfile::Mesh& a, const xfile::Mesh& b) {
    if (a.materials.size() != b.materials.size()) return false;
    for (size_t i = 0; i < a.materials.size(); ++i) {
        if (std::memcmp(&a.materials[i].material, &b.materials[i].material,
                        sizeof(platform::Material)) != 0 ||
            a.materials[i].textureFilename != b.materials[i].textureFilename) {
            return false;
        }
    }
    return true;
}

TEST(XFileCorpusTest, EveryFileReadsToAMeshWithOneSubsetPerMaterial) {
    const auto entries = corpus();
    ASSERT_GE(entries.size(), 30u);
    for (const Entry& entry : entries) {
        const xfile::Mesh mesh = read(entry.file);
        EXPECT_GT(mesh.triangleCount(), 0u) << entry.file;
        EXPECT_EQ(mesh.subsets.size(), mesh.materials.size()) << entry.file;
        uint32_t faces = 0;
        for (const xfile::Subset& subset : mesh.subsets) {
            EXPECT_EQ(subset.faceStart, faces) << entry.file;
            faces += subset.faceCount;
        }
        EXPECT_EQ(faces, mesh.triangleCount()) << entry.file;
        for (const uint32_t index : mesh.indices) ASSERT_LT(index, mesh.vertices.size());
    }
}

TEST(XFileCorpusTest, EncodingsOfOneModelReadTheSame) {
    std::map<std::string, std::vector<Entry>> byModel;
    for (const Entry& entry : corpus()) byModel[entry.model].push_back(entry);
    size_t compared = 0;
    for (const auto& [model, entries] : byModel) {
        const xfile::Mesh first = read(entries.front().file);
        for (size_t i = 1; i < entries.size(); ++i) {
            const xfile::Mesh other = read(entries[i].file);
            SCOPED_TRACE(entries.front().file + " against " + entries[i].file);
            EXPECT_EQ(other.fvf, first.fvf);
            EXPECT_EQ(other.vertices.size(), first.vertices.size());
            EXPECT_EQ(other.indices, first.indices);
            EXPECT_EQ(xtest::trianglesBySubset(other), xtest::trianglesBySubset(first));
            EXPECT_TRUE(sameMaterials(other, first));
            ++compared;
        }
    }
    EXPECT_GE(compared, 15u);
}

}  // namespace
