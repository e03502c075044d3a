// The user's working folder: found, made whole from the sample files, kept.
#include "platform/linux/working_folder_linux.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform::x11 {
namespace {

constexpr const char* kModelFile = "model.x";
// New base folders are private, as the XDG base directory rules ask.
constexpr mode_t kNewFolderMode = 0700;
constexpr mode_t kSnapshotFolderMode = 0755;

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    int get() const { return descriptor_; }
    // Closes now, so that a failed close is seen; the error number or 0.
    int close() {
        const int result = ::close(std::exchange(descriptor_, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int descriptor_;
};

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

FolderProblem problemOf(std::string action, std::string path, int error = errno) {
    return {std::move(action), std::move(path), error};
}

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

bool isFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// Every folder of PATH that is not there yet.
std::optional<FolderProblem> makeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (::mkdir(folder.c_str(), kNewFolderMode) != 0 && errno != EEXIST)
            return problemOf("cannot create", folder);
        if (slash == std::string::npos) break;
    }
    if (!isFolder(path)) return problemOf("cannot create", path, ENOTDIR);
    return std::nullopt;
}

// The names of the plain files in FOLDER, sorted.
std::optional<std::vector<std::string>> plainFilesIn(const std::string& folder) {
    std::unique_ptr<DIR, DirectoryCloser> directory(::opendir(folder.c_str()));
    if (directory == nullptr) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string name = entry->d_name;
        struct stat status {};
        if (::stat((folder + "/" + name).c_str(), &status) == 0 && S_ISREG(status.st_mode))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Copies SOURCE into the open file TARGET (named TARGET_NAME) and closes it,
// its contents on the disk.
std::optional<FolderProblem> copyInto(const std::string& source, Descriptor& target,
                                      const std::string& targetName) {
    Descriptor input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (input.get() < 0) return problemOf("cannot read", source);
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(input.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return problemOf("cannot read", source);
        if (got == 0) break;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(target.get(), buffer + written, got - written);
            if (put < 0 && errno == EINTR) continue;
            if (put < 0) return problemOf("cannot write", targetName);
            written += put;
        }
    }
    if (::fsync(target.get()) != 0) return problemOf("cannot write", targetName);
    if (const int error = target.close(); error != 0)
        return problemOf("cannot write", targetName, error);
    return std::nullopt;
}

// Removes the temporary folder made here: its files and its empty folders.
void removeTemporaryFolder(const std::string& folder) {
    if (std::unique_ptr<DIR, DirectoryCloser> directory{::opendir(folder.c_str())}) {
        while (const dirent* entry = ::readdir(directory.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "/" + name;
            if (::unlink(path.c_str()) != 0) ::rmdir(path.c_str());
        }
    }
    ::rmdir(folder.c_str());
}

// The sample files and the empty snapshot folder, in the new folder TEMPORARY.
std::optional<FolderProblem> fillNewFolder(const std::string& temporary, const std::string& samples,
                                           const std::vector<std::string>& files,
                                           const std::string& snapshotFolder) {
    for (const std::string& file : files) {
        const std::string target = temporary + "/" + file;
        Descriptor output(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (output.get() < 0) return problemOf("cannot write", target);
        if (auto problem = copyInto(samples + "/" + file, output, target)) return problem;
    }
    const std::string snapshots = temporary + "/" + snapshotFolder;
    if (::mkdir(snapshots.c_str(), kSnapshotFolderMode) != 0)
        return problemOf("cannot create", snapshots);
    return std::nullopt;
}

// FOLDER, made in a temporary sibling and renamed into place. A folder made
// meanwhile by another start is kept as it is.
std::optional<FolderProblem> makeWholeFolder(const std::string& folder, const std::string& samples,
                                             const std::string& snapshotFolder) {
    const std::optional<std::vector<std::string>> files = plainFilesIn(samples);
    if (!files) return problemOf("cannot read the sample files in", samples);
    if (files->empty()) return problemOf("no sample files in", samples, ENOENT);
    if (auto problem = makeFolders(parentOf(folder))) return problem;
    std::string pattern = parentOf(folder) + "/." + nameOf(folder) + ".new-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        return problemOf("cannot create a folder in", parentOf(folder));
    const std::string temporary = pattern;
    std::optional<FolderProblem> problem =
        fillNewFolder(temporary, samples, *files, snapshotFolder);
    if (!problem) {
        if (::rename(temporary.c_str(), folder.c_str()) == 0) return std::nullopt;
        if (errno != EEXIST && errno != ENOTEMPTY) problem = problemOf("cannot create", folder);
    }
    removeTemporaryFolder(temporary);
    return problem;
}

// Gives the file TEMPORARY the name TARGET unless a file has that name: a
// rename that replaces nothing, else a hard link, else (a file system that
// offers neither) a rename after a look. TEMPORARY is gone afterwards.
// 0, EEXIST, or why it failed.
int nameWithoutReplacing(const std::string& temporary, const std::string& target) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int result = 0;
    if (errno == EEXIST) {
        result = EEXIST;
    } else if (::link(temporary.c_str(), target.c_str()) != 0) {
        if (errno == EEXIST || exists(target)) {
            result = EEXIST;
        } else if (::rename(temporary.c_str(), target.c_str()) == 0) {
            return 0;
        } else {
            result = errno;
        }
    }
    ::unlink(temporary.c_str());
    return result;
}

// A sample file missing from FOLDER, written beside it and then named, so
// that a file the user made meanwhile is never written over.
std::optional<FolderProblem> putBackFile(const std::string& folder, const std::string& source,
                                         const std::string& name) {
    const std::string target = folder + "/" + name;
    std::string pattern = folder + "/." + name + ".XXXXXX";
    Descriptor output(::mkostemp(pattern.data(), O_CLOEXEC));
    if (output.get() < 0) return problemOf("cannot write", folder);
    const std::string temporary = pattern;
    if (auto problem = copyInto(source, output, target)) {
        ::unlink(temporary.c_str());
        return problem;
    }
    const int error = nameWithoutReplacing(temporary, target);
    if (error != 0 && error != EEXIST) return problemOf("cannot write", target, error);
    return std::nullopt;
}

// What the program needs in an existing folder: the sample files and the
// snapshot folder, where they are missing.
std::optional<FolderProblem> putBackMissing(const std::string& folder, const std::string& samples,
                                            const std::string& snapshotFolder) {
    // Without readable samples, the folder is used as the user left it.
    for (const std::string& file : plainFilesIn(samples).value_or(std::vector<std::string>{})) {
        if (exists(folder + "/" + file)) continue;
        if (auto problem = putBackFile(folder, samples + "/" + file, file)) return problem;
    }
    const std::string snapshots = folder + "/" + snapshotFolder;
    if (!exists(snapshots) && ::mkdir(snapshots.c_str(), kSnapshotFolderMode) != 0 &&
        errno != EEXIST)
        return problemOf("cannot create", snapshots);
    return std::nullopt;
}

// Whether a new file can be made in FOLDER, as the program's writes need.
std::optional<FolderProblem> checkWritable(const std::string& folder) {
    std::string pattern = folder + "/.t462-write-test-XXXXXX";
    Descriptor probe(::mkostemp(pattern.data(), O_CLOEXEC));
    if (probe.get() < 0) return problemOf("cannot write", folder);
    ::unlink(pattern.c_str());
    return std::nullopt;
}

}  // namespace

bool holdsProgramFiles(const std::string& dir, const std::string& snapshotFolder) {
    return exists(dir + "/" + kModelFile) || isFolder(dir + "/" + snapshotFolder);
}

std::string userFolderPath(const char* dataHome, const char* home) {
    if (dataHome != nullptr && dataHome[0] == '/')
        return withoutTrailingSlashes(dataHome) + "/t462";
    std::string homeFolder = home != nullptr ? home : "";
    if (homeFolder.empty() || homeFolder[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        homeFolder = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
    }
    if (homeFolder.empty() || homeFolder[0] != '/') return {};
    return withoutTrailingSlashes(homeFolder) + "/.local/share/t462";
}

std::optional<FolderProblem> prepareUserFolder(const std::string& folder,
                                               const std::string& samples,
                                               const std::string& snapshotFolder) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        if (errno != ENOENT) return problemOf("cannot reach", folder);
        if (auto problem = makeWholeFolder(folder, samples, snapshotFolder)) return problem;
    } else if (!S_ISDIR(status.st_mode)) {
        return problemOf("cannot use", folder, ENOTDIR);
    }
    if (auto problem = putBackMissing(folder, samples, snapshotFolder)) return problem;
    if (auto problem = checkWritable(folder)) return problem;
    return checkWritable(folder + "/" + snapshotFolder);
}

}  // namespace platform::x11
