#pragma once
// The operations that change files, on native (byte) paths. PosixFileSystem
// converts names at its boundary and calls these; the benchmarks and the
// tests of the fallbacks call them directly.
//
// Every operation is built so that an interruption at any point leaves either
// the old state or the new one: nothing is replaced, and a copy appears under
// its name only once its data are complete.

#include <string>

#include "shared/Clock.h"
#include "shared/FileSystem.h"

namespace zv::posix {

// Which kernel facilities an operation may use. The defaults pick the best the
// file system offers; tests switch them off to exercise the fallbacks that
// other file systems take.
struct FileOpWays {
    bool renameNoReplace = true;  // renameat2(RENAME_NOREPLACE)
    bool unnamedTemp = true;      // O_TMPFILE + linkat
};

// The result of a native operation: 0 or an errno value, and whether the
// failure concerns the source rather than the destination.
struct NativeOutcome {
    int err = 0;
    bool atSource = false;
    bool ok() const { return err == 0; }
};

// Not an errno: the entry is no longer a regular file or a symbolic link.
inline constexpr int kNotAFileErr = 100001;

// The entry's kind without following a link (see FileSystem::Examine).
EntryKind ExamineEntry(const std::string& path);

// errno -> the error codes of FileSystem (FsCode). The only place the mapping
// lives.
int CodeForErrno(int err);

// Moves a file or a symbolic link (the link itself) to a new name without ever
// replacing one: within a file system atomically, across file systems by
// copying, syncing and removing the source. Anything else is refused.
NativeOutcome RenameNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways = {});

// Copies a regular file, or the file a symbolic link leads to, as cp -a keeps
// a file: data, permissions with their access lists, extended attributes, the
// owner where permitted, times. Never replaces anything and never shows a
// partial copy: the data are complete and synced before the name appears. A
// FIFO or device is refused before it is opened for reading.
NativeOutcome CopyNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways = {});

// Sets the last-write time from a local date and time, read by the
// daylight-saving rule of that date; the access time is left alone. Values
// that form no valid date and time change nothing and count as success. A
// symbolic link takes the time itself; its target is never touched.
int SetLastWriteTime(const std::string& path, const LocalDateTime& local);

// Replaces the four attributes of a regular file where its volume keeps them
// (VolumeAttributes.h). A symbolic link keeps none and is refused.
int SetAttributes(const std::string& path, int mask);
// The four attribute bits (0 for a link), or -1 when there is no such entry.
int GetAttributes(const std::string& path);

// Temporary copies are named ".zorvik-copy-<pid>-XXXXXX" and locked while
// they are written. Removes those in the folder whose maker is gone: the lock
// is free and the process of that number has ended or started after the file
// was last written.
void RemoveStaleTemporaries(const std::string& folder);
inline constexpr char kTempPrefix[] = ".zorvik-copy-";

// Seconds since the epoch for the local date and time, or false when the
// values form no valid date and time (month 13, 30 February, 24:00:00, a year
// outside 1601..30827).
bool LocalToEpoch(const LocalDateTime& local, long long& seconds);

}  // namespace zv::posix
