// The .x header, the binary token stream and the compressed blocks.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>

#include "platform/d3dx/xfile/x_container.h"
#include "platform/d3dx/xfile/x_lexer.h"
#include "xfile_test_support.h"

namespace {

using xtest::Binary;

bool read(const std::vector<uint8_t>& bytes, xfile::Mesh& mesh, std::string& error,
          const xfile::ReadLimits& limits = {}) {
    return xfile::readMesh(bytes, mesh, error, limits);
}

// A triangle in binary tokens, after the given header.
Binary triangle(const char* header = "xof 0303bin 0032") {
    Binary b(header);
    b.name("Mesh").open().integers({3}).floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    b.integers({1, 3, 0, 1, 2}).close();
    return b;
}

// ---------------------------------------------------------------------------
// Header

TEST(XFileHeaderTest, KindsVersionsAndFloatSizes) {
    const std::string body = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    for (const char* header : {"xof 0303txt 0032", "xof 0302txt 0032", "xof 0303txt 0064"}) {
        xfile::Mesh mesh;
        std::string error;
        EXPECT_TRUE(read(xtest::bytesOf(header + body), mesh, error)) << header << error;
    }
    for (const char* header : {"xof 0303bin 0032", "xof 0302bin 0032"}) {
        xfile::Mesh mesh;
        std::string error;
        EXPECT_TRUE(read(triangle(header).bytes(), mesh, error)) << header << error;
    }
}

TEST(XFileHeaderTest, AnythingElseFailsWithAReason) {
    const std::string body = "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }";
    for (const char* header : {"xof 0304txt 0032", "xof 0303cmp 0032", "xof 0303txt 0016",
                               "XOF 0303txt 0032", "xof 0303txt 003", ""}) {
        xfile::Mesh mesh;
        std::string error;
        EXPECT_FALSE(read(xtest::bytesOf(header + body), mesh, error)) << header;
        EXPECT_FALSE(error.empty());
    }
}

// ---------------------------------------------------------------------------
// Binary tokens

TEST(XFileBinaryTest, SixtyFourBitFloatLists) {
    Binary b("xof 0303bin 0064");
    b.name("Mesh").open().integers({3});
    b.token(7).u32(9);
    for (const double v : {0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.5, 1e300}) {
        uint64_t bits;
        std::memcpy(&bits, &v, 8);
        b.u32(static_cast<uint32_t>(bits)).u32(static_cast<uint32_t>(bits >> 32));
    }
    b.integers({1, 3, 0, 1, 2}).close();
    xfile::Mesh mesh;
    std::string error;
    ASSERT_TRUE(read(b.bytes(), mesh, error)) << error;
    EXPECT_FLOAT_EQ(mesh.vertices[2].position.y, 0.5f);
    EXPECT_TRUE(std::isinf(mesh.vertices[2].position.z));  // beyond float: infinity
}

TEST(XFileBinaryTest, ListsMayBeSplitJoinedOrEmpty) {
    Binary b;
    b.name("Mesh").open();
    for (int i = 0; i < 100000; ++i) b.integers({});  // nothing, many times over
    b.integers({3}).floats({0, 0}).floats({}).floats({0, 1, 0, 0, 0}).floats({1, 0});
    b.token(3).u32(1);  // a single integer token
    b.integers({3, 0}).integers({1, 2}).close();
    xfile::Mesh mesh;
    std::string error;
    ASSERT_TRUE(read(b.bytes(), mesh, error)) << error;
    EXPECT_EQ(mesh.triangleCount(), 1u);
    EXPECT_FLOAT_EQ(mesh.vertices[1].position.x, 1.0f);
}

TEST(XFileBinaryTest, NamedObjectsGuidsAndReferences) {
    Binary b;
    b.name("Material").name("Red").open();
    b.token(5).u32(0x11223344).u16(0x5566).u16(0x7788).u32(0x01020304).u32(0x05060708);
    b.floats({1, 0, 0, 1, 4, 0, 0, 0, 0, 0, 0});
    b.name("TextureFilename").open().string("red.bmp").close().close();
    b.name("Mesh").open().integers({3}).floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
    b.integers({1, 3, 0, 1, 2});
    b.name("MeshMaterialList").open().integers({2, 1, 1});
    b.open().name("Red").close();
    b.open().token(5).u32(0x11223344).u16(0x5566).u16(0x7788).u32(0x01020304).u32(0x05060708);
    b.close();
    b.close().close();
    xfile::Mesh mesh;
    std::string error;
    ASSERT_TRUE(read(b.bytes(), mesh, error)) << error;
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[1].textureFilename, "red.bmp");
    EXPECT_FLOAT_EQ(mesh.materials[0].material.power, 4.0f);
}

TEST(XFileBinaryTest, TemplatesInBinaryArePassedOver) {
    Binary b;
    b.token(31).name("Thing").open();
    b.token(5).u32(1).u16(2).u16(3).u32(4).u32(5);
    b.token(41).name("n").token(20);                                          // DWORD n;
    b.token(52).token(42).name("v").token(14).name("n").token(15).token(20);  // array FLOAT v[n];
    b.token(14).token(18).token(18).token(18).token(15);                      // [...]
    b.close();
    const std::vector<uint8_t> mesh = triangle().bytes();
    b.raw(mesh.data() + 16, mesh.size() - 16);
    xfile::Mesh m;
    std::string error;
    EXPECT_TRUE(read(b.bytes(), m, error)) << error;
}

TEST(XFileBinaryTest, TruncatedOrUnknownTokensFail) {
    const std::vector<uint8_t> good = triangle().bytes();
    // Lists, names and strings that claim more than there is.
    for (const auto& bad : {
             Binary().name("Mesh").open().token(6).u32(0xFFFFFFFF).u32(3),
             Binary().name("Mesh").open().token(7).u32(0x40000000).u32(0),
             Binary().token(1).u32(0xFFFFFFF0).raw("Mesh", 4),
             Binary().name("Mesh").open().token(2).u32(100).raw("abc", 3),
             Binary().name("Mesh").open().token(99),
             Binary().name("Mesh").open().token(5).u32(1),
             Binary().name("Mesh").open().token(3).u16(1),
         }) {
        xfile::Mesh mesh;
        std::string error;
        EXPECT_FALSE(read(bad.bytes(), mesh, error));
        EXPECT_FALSE(error.empty());
    }
    // An odd byte after a complete file is a truncated token.
    std::vector<uint8_t> odd = good;
    odd.push_back(0);
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(read(odd, mesh, error));
}

// ---------------------------------------------------------------------------
// Compressed files

struct Block {
    std::vector<uint8_t> plain;
    bool useDictionary = false;
};

// The MSZIP layout: the header with "tzip"/"bzip", the inflated size with the
// header counted, then per block its sizes, "CK" and a raw deflate stream.
std::vector<uint8_t> compressed(const char* header, const std::vector<Block>& blocks,
                                int sizeAdjustment = 0) {
    std::vector<uint8_t> out(header, header + 16);
    size_t total = 16;
    for (const Block& block : blocks) total += block.plain.size();
    for (int i = 0; i < 4; ++i) {
        out.push_back(
            static_cast<uint8_t>((total + static_cast<size_t>(sizeAdjustment)) >> (8 * i)));
    }
    const std::vector<uint8_t>* previous = nullptr;
    for (const Block& block : blocks) {
        z_stream s{};
        EXPECT_EQ(deflateInit2(&s, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
        if (block.useDictionary && previous != nullptr) {
            deflateSetDictionary(&s, previous->data(), static_cast<uInt>(previous->size()));
        }
        std::vector<uint8_t> data(block.plain.size() + 1024);
        s.next_in = const_cast<Bytef*>(block.plain.data());
        s.avail_in = static_cast<uInt>(block.plain.size());
        s.next_out = data.data();
        s.avail_out = static_cast<uInt>(data.size());
        EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
        data.resize(s.total_out);
        deflateEnd(&s);
        const size_t size = data.size() + 2;
        out.push_back(static_cast<uint8_t>(block.plain.size()));
        out.push_back(static_cast<uint8_t>(block.plain.size() >> 8));
        out.push_back(static_cast<uint8_t>(size));
        out.push_back(static_cast<uint8_t>(size >> 8));
        out.push_back('C');
        out.push_back('K');
        out.insert(out.end(), data.begin(), data.end());
        previous = &block.plain;
    }
    return out;
}

// A text body of `count` repetitions of one mesh, spread over several blocks.
std::vector<Block> meshBlocks(int count, bool chained) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "Mesh m" + std::to_string(i) +
                " { 3; 0.000000;0.000000;0.000000;, 1.000000;0.000000;0.000000;, "
                "0.000000;1.000000;0.000000;; 1; 3;0,1,2;; }\n";
    }
    std::vector<Block> blocks;
    for (size_t start = 0; start < text.size(); start += 32768) {
        const std::string piece = text.substr(start, 32768);
        blocks.push_back({std::vector<uint8_t>(piece.begin(), piece.end()), chained});
    }
    return blocks;
}

TEST(XFileCompressedTest, BlocksInflateWithOrWithoutThePreviousBlockAsDictionary) {
    for (const bool chained : {false, true}) {
        const std::vector<Block> blocks = meshBlocks(1000, chained);
        ASSERT_GE(blocks.size(), 3u);
        xfile::Mesh mesh;
        std::string error;
        ASSERT_TRUE(read(compressed("xof 0303tzip0032", blocks), mesh, error)) << error;
        EXPECT_EQ(mesh.triangleCount(), 1000u);
    }
}

TEST(XFileCompressedTest, BinaryBodiesToo) {
    const std::vector<uint8_t> plain = triangle().bytes();
    const std::vector<Block> blocks{{std::vector<uint8_t>(plain.begin() + 16, plain.end())}};
    xfile::Mesh mesh;
    std::string error;
    ASSERT_TRUE(read(compressed("xof 0303bzip0032", blocks), mesh, error)) << error;
    EXPECT_EQ(mesh.triangleCount(), 1u);
}

TEST(XFileCompressedTest, DeclaredSizesMustHold) {
    const std::vector<Block> blocks = meshBlocks(300, true);
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(read(compressed("xof 0303tzip0032", blocks, 1), mesh, error));
    EXPECT_FALSE(read(compressed("xof 0303tzip0032", blocks, -1), mesh, error));

    std::vector<uint8_t> file = compressed("xof 0303tzip0032", blocks);
    // A block that says it inflates to one byte more than it does.
    std::vector<uint8_t> longer = file;
    longer[20] = static_cast<uint8_t>(longer[20] + 1);
    EXPECT_FALSE(read(longer, mesh, error));
    // A block said to be larger than a deflate window.
    std::vector<uint8_t> huge = file;
    huge[20] = 0x01;
    huge[21] = 0x80;
    EXPECT_FALSE(read(huge, mesh, error));
    // No "CK".
    std::vector<uint8_t> unsigned_ = file;
    unsigned_[24] = 'X';
    EXPECT_FALSE(read(unsigned_, mesh, error));
    // Cut inside a block, and inside a block header.
    EXPECT_FALSE(read(std::vector<uint8_t>(file.begin(), file.end() - 5), mesh, error));
    EXPECT_FALSE(read(std::vector<uint8_t>(file.begin(), file.begin() + 22), mesh, error));
    // Garbage in the deflate data.
    std::vector<uint8_t> corrupt = file;
    for (size_t i = 30; i < 60; ++i) corrupt[i] = 0xFF;
    EXPECT_FALSE(read(corrupt, mesh, error));
}

TEST(XFileCompressedTest, DictionaryBlocksNeedTheirPredecessor) {
    const std::vector<Block> blocks = meshBlocks(300, true);
    ASSERT_EQ(blocks.size(), 2u);
    const std::vector<uint8_t> file = compressed("xof 0303tzip0032", blocks);
    // Cut the first block out: the second refers back into it.
    const size_t firstSize = file[22] | (file[23] << 8);
    std::vector<uint8_t> cut(file.begin(), file.begin() + 16);
    const size_t total = 16 + blocks[1].plain.size();
    for (int i = 0; i < 4; ++i) cut.push_back(static_cast<uint8_t>(total >> (8 * i)));
    cut.insert(cut.end(), file.begin() + 24 + static_cast<ptrdiff_t>(firstSize), file.end());
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(read(cut, mesh, error));
    EXPECT_NE(error.find("corrupt"), std::string::npos) << error;
}

TEST(XFileCompressedTest, InflatedBodyIsBoundedByTheLimitNotByTheDeclaredSize) {
    // Highly compressible: 20 blocks of spaces, a few bytes each compressed.
    std::vector<Block> blocks;
    for (int i = 0; i < 20; ++i) blocks.push_back({std::vector<uint8_t>(32768, ' ')});
    std::vector<uint8_t> file = compressed("xof 0303tzip0032", blocks);
    xfile::ReadLimits limits;
    limits.maxInflatedBytes = 100000;
    xfile::Mesh mesh;
    std::string error;
    EXPECT_FALSE(read(file, mesh, error, limits));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    // A claimed size of 4 GiB allocates nothing by itself.
    file[16] = file[17] = file[18] = file[19] = 0xFF;
    EXPECT_FALSE(read(file, mesh, error));
}

}  // namespace
