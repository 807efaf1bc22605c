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

// errno -> the error codes of FileSystem (FsCode). The only place the mapping
// lives.
int CodeForErrno(int err);

// Moves a file to a new name without ever replacing one: within a file system
// atomically, across file systems by copying, syncing and removing the source.
NativeOutcome RenameNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways = {});

// Copies a regular file (data, permission bits, times, user extended
// attributes) without replacing anything and without ever showing a partial
// copy: the data are complete and synced before the name appears.
NativeOutcome CopyNoReplace(const std::string& from, const std::string& to, const FileOpWays& ways = {});

// Sets the last-write time from a local date and time, read by the
// daylight-saving rule of that date; the access time is left alone. Values
// that form no valid date and time change nothing and count as success.
int SetLastWriteTime(const std::string& path, const LocalDateTime& local);

// Read-only is the write permission: set removes every write bit, cleared
// gives the owner's back. Hidden, system and archive live in user.DOSATTRIB.
int SetAttributes(const std::string& path, int mask);
// The four attribute bits, or -1 when the file cannot be examined.
int GetAttributes(const std::string& path);

// Seconds since the epoch for the local date and time, or false when the
// values form no valid date and time (month 13, 30 February, 24:00:00, a year
// outside 1601..30827).
bool LocalToEpoch(const LocalDateTime& local, long long& seconds);

}  // namespace zv::posix
