// The Linux program's working folder: made whole from the samples, a user's
// files kept, and a folder that cannot be used reported with the path and
// the reason, leaving nothing behind.
#include "platform/linux/working_folder_linux.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using platform::x11::holdsProgramFiles;
using platform::x11::prepareUserFolder;
using platform::x11::userFolderPath;

const std::string kSnapshots = "抜き取り画像保存フォルダ";

class WorkingFolder : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "t462-folder-test-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
        root_ = pattern;
        samples_ = root_ / "share" / "t462";
        fs::create_directories(samples_);
        write(samples_ / "model.x", "xof 0303txt 0032\n");
        write(samples_ / "枠.bmp", "skin");
        write(samples_ / "フィルター.bmp", "picture");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void write(const fs::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string read(const fs::path& file) {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }
    static std::set<std::string> namesIn(const fs::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        return names;
    }

    fs::path root_;
    fs::path samples_;
};

TEST_F(WorkingFolder, FirstStartMakesTheWholeFolderFromTheSamples) {
    const fs::path folder = root_ / "home" / ".local" / "share" / "t462";
    EXPECT_EQ(std::nullopt, prepareUserFolder(folder, samples_, kSnapshots));
    EXPECT_EQ((std::set<std::string>{"model.x", "枠.bmp", "フィルター.bmp", kSnapshots}),
              namesIn(folder));
    EXPECT_EQ("skin", read(folder / "枠.bmp"));
    EXPECT_EQ("xof 0303txt 0032\n", read(folder / "model.x"));
    EXPECT_TRUE(fs::is_empty(folder / kSnapshots));
    // The temporary sibling it was built in is gone.
    EXPECT_EQ(std::set<std::string>{"t462"}, namesIn(folder.parent_path()));
    EXPECT_TRUE(holdsProgramFiles(folder, kSnapshots));
}

TEST_F(WorkingFolder, TheUsersFilesAreKeptAndMissingSamplesPutBack) {
    const fs::path folder = root_ / "t462";
    ASSERT_EQ(std::nullopt, prepareUserFolder(folder, samples_, kSnapshots));
    write(folder / "model.x", "my model");
    write(folder / "mine.png", "added");
    write(folder / kSnapshots / "0.bmp", "snapshot");
    fs::remove(folder / "枠.bmp");
    EXPECT_EQ(std::nullopt, prepareUserFolder(folder, samples_, kSnapshots));
    EXPECT_EQ("my model", read(folder / "model.x"));
    EXPECT_EQ("added", read(folder / "mine.png"));
    EXPECT_EQ("skin", read(folder / "枠.bmp"));
    EXPECT_EQ("snapshot", read(folder / kSnapshots / "0.bmp"));

    fs::remove_all(folder / kSnapshots);
    EXPECT_EQ(std::nullopt, prepareUserFolder(folder, samples_, kSnapshots));
    EXPECT_TRUE(fs::is_directory(folder / kSnapshots));
    // No temporary or probe file is left.
    EXPECT_EQ(
        (std::set<std::string>{"model.x", "mine.png", "枠.bmp", "フィルター.bmp", kSnapshots}),
        namesIn(folder));

    // Without the samples (the package removed), the folder is used as it is.
    EXPECT_EQ(std::nullopt, prepareUserFolder(folder, root_ / "gone", kSnapshots));
}

TEST_F(WorkingFolder, AFolderThatCannotBeMadeIsReportedAndNothingIsLeft) {
    // No samples: nothing is made, not even the parents.
    const auto noSamples = prepareUserFolder(root_ / "a" / "t462", root_ / "gone", kSnapshots);
    ASSERT_TRUE(noSamples.has_value());
    EXPECT_EQ((root_ / "gone").string(), noSamples->path);
    EXPECT_EQ(ENOENT, noSamples->error);
    EXPECT_FALSE(fs::exists(root_ / "a"));

    // A file where a parent folder would be.
    write(root_ / "file", "");
    const fs::path below = root_ / "file" / "share" / "t462";
    const auto blocked = prepareUserFolder(below, samples_, kSnapshots);
    ASSERT_TRUE(blocked.has_value());
    EXPECT_EQ(below.string(), blocked->path);
    EXPECT_EQ(ENOTDIR, blocked->error);

    // A file of the folder's name.
    write(root_ / "t462", "");
    const auto notFolder = prepareUserFolder(root_ / "t462", samples_, kSnapshots);
    ASSERT_TRUE(notFolder.has_value());
    EXPECT_EQ(ENOTDIR, notFolder->error);
    EXPECT_EQ("", read(root_ / "t462"));
}

TEST(WorkingFolderPath, FollowsXdgDataHomeElseTheHomeFolder) {
    EXPECT_EQ("/data/t462", userFolderPath("/data//", "/home/u"));
    EXPECT_EQ("/home/u/.local/share/t462", userFolderPath(nullptr, "/home/u/"));
    // A relative or empty XDG_DATA_HOME counts as unset.
    EXPECT_EQ("/home/u/.local/share/t462", userFolderPath("data", "/home/u"));
    EXPECT_EQ("/home/u/.local/share/t462", userFolderPath("", "/home/u"));
}

}  // namespace
