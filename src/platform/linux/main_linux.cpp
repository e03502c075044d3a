// The process entry of the Linux program.
#include <malloc.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "app/application.h"
#include "capture/snapshot_name.h"
#include "platform/linux/message_box_linux.h"
#include "platform/linux/text_linux.h"
#include "platform/linux/window_record_linux.h"
#include "platform/linux/working_folder_linux.h"
#include "platform/linux/x11_display_linux.h"
#include "platform/window_system.h"

namespace {

using platform::x11::FolderProblem;

// The snapshot folder, the first part of the snapshot names, as the file
// system spells it.
std::string snapshotFolderName() {
    const std::string_view format = kSnapshotNameFormat;
    return platform::x11::utf8FromCp932(format.substr(0, format.find('/'))).value_or("");
}

// The installed sample files: T462_SAMPLES_FROM_PROGRAM is their folder
// relative to the program's own, so that an unpacked copy finds its own.
std::string samplesFolder() {
    std::string program(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", program.data(), program.size());
    if (length <= 0 || static_cast<size_t>(length) >= program.size()) return {};
    program.resize(static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/')) + "/" + T462_SAMPLES_FROM_PROGRAM;
}

void reportFolderProblem(const std::string& folder, const FolderProblem& problem) {
    const std::string reason =
        problem.action + " " + problem.path + ": " + std::strerror(problem.error);
    std::fprintf(stderr, "t462: cannot make or write the working folder %s: %s\n", folder.c_str(),
                 reason.c_str());
    platform::x11::showMessageBox("Error",
                                  "作業フォルダーを作れないか、書き込めません。\n"
                                  "The working folder cannot be made or written:\n" +
                                      folder + "\n\n" + reason);
}

// Moves into the folder the program works in: the current one when the
// program's files are there, else the user's own. False, when that cannot be
// used, after saying why.
bool enterWorkingFolder() {
    const std::string snapshots = snapshotFolderName();
    if (platform::x11::holdsProgramFiles(".", snapshots)) return true;
    std::string folder =
        platform::x11::userFolderPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::optional<FolderProblem> problem;
    if (folder.empty()) {
        folder = "~/.local/share/t462";
        problem = FolderProblem{"no home folder for", folder, ENOENT};
    } else {
        problem = platform::x11::prepareUserFolder(folder, samplesFolder(), snapshots);
    }
    if (!problem && ::chdir(folder.c_str()) != 0)
        problem = FolderProblem{"cannot enter", folder, errno};
    if (!problem) return true;
    reportFolderProblem(folder, *problem);
    return false;
}

}  // namespace

int main() {
    // Mesa's software renderer keeps its drawing state for each draw whose
    // texture differs from the one before, tens of kilobytes each, and frees
    // it all when the frame is drawn: a model of many textured and untextured
    // materials leaves megabytes free at the top of the heap every frame.
    // Given back to the system at once (the library's default beyond 128 KB),
    // they were faulted in again the next frame, which cost the heavy model of
    // 2,000 materials (tools/make-heavy-models.py) most of its frame rate
    // (about 20 against 80 frames per second of processor time). Large blocks
    // (pictures) still come from and go back to the system at once.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    // The character set of keyboard input and of names in the system's
    // language; numbers stay as C writes them.
    std::setlocale(LC_CTYPE, "");
    if (platform::x11::display() == nullptr) {
        std::fprintf(stderr, "t462: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    // A working folder that cannot be used is a start-up failure: the
    // message, then exit code 0.
    if (!enterWorkingFolder()) platform::ExitProcess(0);
    runApplication();
}
