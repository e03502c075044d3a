// Where the Linux program works. The program reads model.x, its textures and
// 枠.bmp from its working directory and writes フィルター.bmp and the
// snapshots there. Started in a folder of its own (the staged folder, a
// user's copy) it stays there; started from a menu or a terminal anywhere
// else, it works in the user's folder ${XDG_DATA_HOME:-~/.local/share}/t462,
// made from the installed sample files on the first start.
#pragma once

#include <optional>
#include <string>

namespace platform::x11 {

// Whether the program's files are in DIR: model.x or the snapshot folder.
bool holdsProgramFiles(const std::string& dir, const std::string& snapshotFolder);

// The user's folder from $XDG_DATA_HOME and $HOME (either may be null; a
// relative XDG_DATA_HOME counts as unset); empty without a home.
std::string userFolderPath(const char* dataHome, const char* home);

// Why a folder cannot be used: what failed, on which path, and errno.
struct FolderProblem {
    std::string action;  // "cannot create", "cannot write", ...
    std::string path;
    int error = 0;
};

// Makes FOLDER from the files in SAMPLES, with an empty SNAPSHOT_FOLDER in
// it, unless it is there; the folder appears whole or not at all (it is built
// in a temporary sibling and renamed). A sample file or the snapshot folder
// missing from an existing folder is put back; a file that is there is never
// written over. Then checks that the folder and its snapshot folder take new
// files.
std::optional<FolderProblem> prepareUserFolder(const std::string& folder,
                                               const std::string& samples,
                                               const std::string& snapshotFolder);

}  // namespace platform::x11
