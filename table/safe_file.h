// Writing a file without damaging what the user points at.
//
// A regular file (or a path that does not exist yet) is written to a
// temporary file beside it, flushed to the disk and renamed over it at
// Commit(): a failed or abandoned save leaves the old file byte for byte and
// no temporary file behind. An existing file the user may not write (by its
// permissions, as access() judges them: root may write any) is refused with
// "File access denied", as cp refuses it; one that is replaced keeps its
// permissions, and its owner and group where the user may give them (root
// always). The rename makes a new file: other hard links to the old one keep
// the old content. A
// symbolic link is written through: the file it points to gets the new
// content, atomically beside that file, and the link stays a link. A target
// that exists and is not a regular file (a character or block device such as
// /dev/null or /dev/stdout, a FIFO, a socket) is written directly, never
// renamed over; so is anything under /dev/ and /proc/ (/dev/stdout written
// as the file or pipe it stands for). This is the one place that replaces
// files.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace coordconv {

// The error text for a failed file operation with C errno `error`
// ("File not found", "File access denied", "Disk full", ...).
std::string FileErrorText(int error);

// The file a write to `path` reaches: `path` with every symbolic link along
// the final component followed (relative link targets taken from the link's
// folder). A dangling link gives the path it points to.
std::string ResolveWriteTarget(const std::string& path);

class SafeFileWriter {
public:
    // Opens the target for writing; raises CommandError with FileErrorText
    // when it cannot (a folder, a folder that does not exist, no access).
    explicit SafeFileWriter(const std::string& path);
    // Without Commit(): the temporary file is removed, the target untouched.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    void Write(std::string_view bytes);
    // Flushes, syncs and closes the file without replacing the target yet, so
    // several outputs of one run can all be written before any is replaced.
    // Any failure raises CommandError and leaves the old file.
    void Finish();
    // Finish() when not done yet, then renames the temporary file over the
    // target. Any failure raises CommandError and leaves the old file.
    void Commit();

    // True when the target is written directly (a device, FIFO or socket).
    bool Direct() const { return temporary_.empty(); }

private:
    void Abandon();

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
    bool finished_ = false;
};

// A scratch file of the program's own in the system's temporary folder
// ($TMPDIR, else /tmp), named PREFIX-XXXXXX followed by SUFFIX, for a library
// that writes only to a file it names itself. It is removed at destruction
// and, like the temporary files of the saves, when a signal ends the program.
class ScratchFile {
public:
    // Raises CommandError with FileErrorText when the file cannot be made.
    ScratchFile(const std::string& prefix, const std::string& suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// A folder of the program's own beside a target file, for a library that
// writes a set of files under a name it is given (a shapefile's .shp, .shx,
// .dbf, .prj and .cpg, a GeoPackage with its journal). The folder is made in
// the folder the target's links lead to, named TARGET.XXXXXX, so the moves
// of Commit() are renames within one file system. Without Commit() the
// folder and everything in it are removed at destruction and, like the
// temporary files of the saves, when a signal ends the program.
class StagingFolder {
public:
    // Raises CommandError with FileErrorText when the folder cannot be made
    // (the target's folder does not exist or may not be written) or the
    // target is a folder.
    explicit StagingFolder(const std::string& target);
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    // The name to give the library: the target's file name in the staging folder.
    const std::string& StagedPath() const { return staged_; }
    // The staging folder itself.
    const std::string& Path() const { return folder_; }

    // Moves every file the library left in the staging folder into the
    // target's folder under its own name, each by a rename over the old file
    // of that name (which keeps its permissions, as SafeFileWriter keeps
    // them); then removes the `stale` file names (beside the target) that
    // were not written this time, such as the old .prj of a shapefile that
    // gets none, and the staging folder. Returns the paths written. Raises
    // CommandError when a move fails.
    std::vector<std::string> Commit(const std::vector<std::string>& stale = {});

private:
    std::string target_folder_;
    std::string folder_;
    std::string staged_;
    bool committed_ = false;
};

// Makes every signal whose default action ends the program (SIGHUP, SIGINT,
// SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGALRM, SIGXFSZ, the real-time
// signals, ...) remove the temporary files of the saves in progress and the
// scratch files before the program ends as the signal asks, so a stopped run
// leaves the old files and nothing beside them. A signal the program was
// started with ignored (nohup, a background job) stays ignored.
void RemoveTemporaryFilesOnInterrupt();

}  // namespace coordconv
