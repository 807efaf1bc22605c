#pragma once
// The file system as the engine and the windows use it. One backend per
// platform (posix/, win32/); tests pass a fake or a fault-injecting wrapper.
//
// Paths are UTF-16 (see NativeName.h). Folder paths handed in may or may not
// end in the separator.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Clock.h"

namespace zv {

// The separator between folder and name on this platform ('/' or '\\').
extern const char16_t kPathSeparator;

// Error codes of file operations. The numbers are the ones the messages of the
// real run are keyed on; everything unlisted is a generic failure.
enum FsCode : int {
    kFsOk = 0,
    kFsFileNotFound = 53,
    kFsAlreadyExists = 58,
    kFsDiskFull = 61,
    kFsTooManyFiles = 67,
    kFsDeviceUnavailable = 68,
    kFsPermissionDenied = 70,
    kFsDiskNotReady = 71,
    kFsPathFileAccess = 75,
    kFsPathNotFound = 76,
    kFsGeneric = 1,
    // The entry is no longer a regular file or a symbolic link (a folder, a
    // FIFO, a device put there by another program).
    kFsNotAFile = 1001,
};

// Outcome of one operation: the code and the path it concerns.
struct FsResult {
    int code = kFsOk;
    std::u16string path;
    int osError = 0;  // the platform's own number, for diagnostics only
    bool ok() const { return code == kFsOk; }
};

// Attribute bits, as the classic file attributes number them.
enum FileAttribute : int {
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrArchive = 32,
};

// What identifies a directory entry's file and what a run may change of it,
// read without following a symbolic link. The device and the file number tell
// whether a name still holds the very file a run moved; the size, the
// last-write time (in the platform's own units, only compared and restored)
// and the attributes tell whether a copy is still the one the run made.
struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t writeTime = 0;
    int attributes = 0;  // only when asked for, else 0
    bool SameFile(const FileIdentity& o) const { return exists && o.exists && device == o.device && file == o.file; }
    bool operator==(const FileIdentity&) const = default;
};

// What a directory entry is, seen without following a symbolic link.
enum class EntryKind {
    kMissing,
    kFile,
    kLinkToFile,  // a symbolic link whose target is a regular file
    kOtherLink,   // a link to a folder or to something else, or a dangling one
    kFolder,
    kOther,  // FIFO, device, socket
};

// What files and symbolic links on a volume can keep of a run's time stamp
// and attributes.
struct VolumeAbilities {
    int fileAttributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    bool linkTime = false;        // a link's own last-write time can be set
    bool linkAttributes = false;  // a link's own attributes can be set
};

// "Is there a file of this name in the folder?", compared without regard to
// case. Made once per check so a folder of many files is read once.
class NameLookup {
public:
    virtual ~NameLookup() = default;
    virtual bool Exists(const std::u16string& name) const = 0;
    // How many entries carry the name (a case-sensitive volume may hold
    // a.txt and A.TXT side by side).
    virtual std::size_t Count(const std::u16string& name) const { return Exists(name) ? 1 : 0; }
    // The same for a name already folded with FoldCase.
    virtual std::size_t CountFolded(const std::u16string& folded) const { return Count(folded); }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Regular files of the folder that are not hidden (no leading dot, no
    // hidden or system attribute), sorted by name without regard to case.
    // An unreadable folder gives an empty list.
    virtual std::vector<std::u16string> ListFiles(const std::u16string& folder) = 0;

    // Sub folders of the folder (not hidden), sorted like ListFiles.
    virtual std::vector<std::u16string> ListFolders(const std::u16string& folder) = 0;

    // A lookup over the folder's names. A folder that cannot be read answers
    // "not there" for every name.
    virtual std::unique_ptr<NameLookup> OpenNameLookup(const std::u16string& folder) = 0;

    virtual bool FileExists(const std::u16string& path) = 0;
    virtual bool FolderExists(const std::u16string& path) = 0;

    // Moves a file within a folder or into another one. Never replaces an
    // existing file (kFsAlreadyExists). A change of case only, on a volume
    // that ignores case, renames the file: the name it "clashes" with is its own.
    virtual FsResult Rename(const std::u16string& from, const std::u16string& to) = 0;

    // Copies a file. Never replaces an existing file and never leaves a
    // partial copy behind.
    virtual FsResult Copy(const std::u16string& from, const std::u16string& to) = 0;

    // Sets only the last-write time, from a local date and time read by the
    // rule of that date. A value that is no valid date or time leaves the file
    // unchanged and reports success.
    virtual FsResult SetLastWriteTime(const std::u16string& path, const LocalDateTime& local) = 0;

    // Replaces the read-only, hidden, system and archive attributes.
    virtual FsResult SetAttributes(const std::u16string& path, int mask) = 0;
    // Current attributes, or -1 when the file cannot be read.
    virtual int GetAttributes(const std::u16string& path) = 0;

    virtual FsResult MakeDirectory(const std::u16string& path) = 0;

    // What the journal of a real run records and what undo checks. A backend
    // without them identifies nothing, so undo finds nothing to take back.
    virtual FileIdentity Identify(const std::u16string& path, bool withAttributes) {
        (void)path, (void)withAttributes;
        return {};
    }
    // Gives the entry back a last-write time that Identify reported.
    virtual FsResult RestoreWriteTime(const std::u16string& path, std::int64_t writeTime) {
        (void)writeTime;
        return {kFsGeneric, path};
    }
    // Removes a file (never a folder), read-only or not.
    virtual FsResult RemoveFile(const std::u16string& path) { return {kFsGeneric, path}; }
    // True when both files hold the same bytes.
    virtual bool SameContent(const std::u16string& a, const std::u16string& b) {
        (void)a, (void)b;
        return false;
    }

    // The entry's kind, without following a link (a link's target is looked
    // at only to tell kLinkToFile from kOtherLink).
    virtual EntryKind Examine(const std::u16string& path);
    // The kinds of many names of one folder, in their order; where the
    // platform allows, one read of the folder answers them all. With
    // `numbers`, each name's device and file number too (as Identify reports
    // them; size and time may be left out), so a run can record which file
    // it is about to touch without a look-up per file.
    virtual std::vector<EntryKind> ExamineAll(const std::u16string& folder, const std::vector<std::u16string>& names,
                                              std::vector<FileIdentity>* numbers = nullptr);

    // What the volume that holds the folder keeps; asked once per run.
    virtual VolumeAbilities Abilities(const std::u16string& folder);

    // Removes what interrupted copies of this program left in the folder
    // (never a file whose maker may still be at work).
    virtual void RemoveStaleTemporaries(const std::u16string& folder);
};

// The backend of this platform.
FileSystem& NativeFileSystem();

// Joins a folder and a name with exactly one separator between them.
std::u16string JoinPath(const std::u16string& folder, const std::u16string& name);

// Sorts names as the lists show them: without regard to case; names equal but
// for case (possible on POSIX) keep a fixed order, the exact name deciding.
void SortNamesForListing(std::vector<std::u16string>& names);
// The same order as positions into the names, which stay where they are.
std::vector<std::size_t> ListingOrder(const std::vector<std::u16string>& names);

// The folder with the separator appended unless it already ends in one.
std::u16string WithTrailingSeparator(const std::u16string& folder);

}  // namespace zv
