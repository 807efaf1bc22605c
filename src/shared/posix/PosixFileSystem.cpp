#include "PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <string_view>
#include <system_error>
#include <thread>

#include "PosixFileOps.h"
#include "VolumeAttributes.h"
#include "shared/CaseFold.h"
#include "shared/NameIndex.h"
#include "shared/NativeName.h"

namespace zv {

const char16_t kPathSeparator = u'/';

namespace {

enum class ListKind { kFile, kFolder };

bool IsDotName(const char* name) { return name[0] == '.'; }

std::string NativeFolder(const std::u16string& folder) {
    std::string path = ToNative(folder);
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// Entries of one kind, as the file and folder lists show them: no dot names,
// nothing marked hidden or system, case-insensitive order. A symbolic link
// counts as what it points to; a dangling one is left out.
// Marks the entries whose attributes hide them. Each one is a system call of
// its own, and on a network mount a round trip: a long list is shared out
// among helper threads while the caller puts the names in order.
class HiddenMarks {
  public:
    HiddenMarks(posix::AttributeStore store, std::string base, const std::vector<std::string>& entries)
        : base_(std::move(base)), entries_(entries), hidden_(entries.size(), 0), store_(store) {
        if (store == posix::AttributeStore::kNothing || store == posix::AttributeStore::kWriteBits) return;
        constexpr std::size_t kPerThread = 2048;
        const std::size_t cores = std::max(2u, std::thread::hardware_concurrency());
        const std::size_t threads = std::min<std::size_t>({cores - 1, 8, entries.size() / kPerThread});
        if (threads == 0) {
            Mark(0, entries.size());
            return;
        }
        const std::size_t share = (entries.size() + threads - 1) / threads;
        std::size_t begin = 0;
        try {
            for (; begin < entries.size(); begin += share)
                helpers_.emplace_back(&HiddenMarks::Mark, this, begin, std::min(entries.size(), begin + share));
        } catch (const std::system_error&) {
            Mark(begin, entries.size());  // no thread to be had: the rest is done here
        }
    }
    ~HiddenMarks() { Wait(); }
    HiddenMarks(const HiddenMarks&) = delete;
    HiddenMarks& operator=(const HiddenMarks&) = delete;

    const std::vector<char>& Wait() {
        for (auto& h : helpers_) h.join();
        helpers_.clear();
        return hidden_;
    }

  private:
    void Mark(std::size_t begin, std::size_t end) {
        std::string path = base_;
        for (std::size_t i = begin; i < end; ++i) {
            path.resize(base_.size());
            path += entries_[i];
            hidden_[i] = posix::HiddenOrSystem(store_, path) ? 1 : 0;
        }
    }

    std::string base_;
    const std::vector<std::string>& entries_;
    std::vector<char> hidden_;
    posix::AttributeStore store_;
    std::vector<std::thread> helpers_;
};

std::vector<std::u16string> ListEntries(const std::u16string& folder, ListKind kind) {
    std::vector<std::u16string> names;
    const std::string base = NativeFolder(folder);
    DIR* dir = opendir(base.c_str());
    if (!dir) return names;
    const posix::AttributeStore store = posix::DecideAttributeStore(base);
    std::vector<std::string> entries;
    while (const dirent* e = readdir(dir)) {
        if (IsDotName(e->d_name)) continue;
        // The entry's type usually comes with the folder read; only links and
        // file systems that do not report it need a stat of their own.
        bool isFile = e->d_type == DT_REG;
        bool isFolder = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            if (fstatat(dirfd(dir), e->d_name, &st, 0) != 0) continue;
            isFile = S_ISREG(st.st_mode);
            isFolder = S_ISDIR(st.st_mode);
        }
        if (kind == ListKind::kFile ? isFile : isFolder) entries.emplace_back(e->d_name);
    }
    closedir(dir);

    HiddenMarks marks(store, base, entries);
    std::vector<std::u16string> all;
    all.reserve(entries.size());
    for (const auto& e : entries) all.push_back(FromNative(e));
    const std::vector<std::size_t> order = ListingOrder(all);
    const std::vector<char>& hidden = marks.Wait();
    names.reserve(all.size());
    for (std::size_t i : order)
        if (!hidden[i]) names.push_back(std::move(all[i]));
    return names;
}

// An entry's name folded for comparing. Most names are ASCII throughout and
// fold byte by byte; the rest go through the full conversion and table.
std::u16string FoldedEntryName(const char* name) {
    std::u16string out;
    const char* p = name;
    for (; *p != '\0' && static_cast<unsigned char>(*p) < 0x80; ++p)
        out += *p >= 'A' && *p <= 'Z' ? static_cast<char16_t>(*p - 'A' + 'a') : static_cast<char16_t>(*p);
    return *p == '\0' ? out : FoldCase(FromNative(name));
}

class FoldedNameSet final : public NameLookup {
  public:
    explicit FoldedNameSet(std::vector<std::u16string> folded) : folded_(std::move(folded)), index_(folded_) {}
    bool Exists(const std::u16string& name) const override { return Count(name) != 0; }
    std::size_t Count(const std::u16string& name) const override { return CountFolded(FoldCase(name)); }
    std::size_t CountFolded(const std::u16string& folded) const override { return index_.Count(folded); }

  private:
    std::vector<std::u16string> folded_;
    NameIndex<char16_t> index_;  // over folded_
};

}  // namespace

std::vector<std::u16string> PosixFileSystem::ListFiles(const std::u16string& folder) {
    return ListEntries(folder, ListKind::kFile);
}

std::vector<std::u16string> PosixFileSystem::ListFolders(const std::u16string& folder) {
    return ListEntries(folder, ListKind::kFolder);
}

// Every entry counts, hidden ones and folders included: a new name that
// matches any of them could not be created.
std::unique_ptr<NameLookup> PosixFileSystem::OpenNameLookup(const std::u16string& folder) {
    std::vector<std::u16string> folded;
    if (DIR* dir = opendir(NativeFolder(folder).c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (std::string_view(e->d_name) == "." || std::string_view(e->d_name) == "..") continue;
            folded.push_back(FoldedEntryName(e->d_name));
        }
        closedir(dir);
    }
    return std::make_unique<FoldedNameSet>(std::move(folded));
}

bool PosixFileSystem::FileExists(const std::u16string& path) {
    struct stat st {};
    return stat(ToNative(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PosixFileSystem::FolderExists(const std::u16string& path) {
    struct stat st {};
    return stat(ToNative(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// One pass over the folder for many of its names: calls `seen` with the index
// of each wanted name that is there, its entry and the folder's descriptor.
// False when the folder cannot be read.
template <typename Seen>
bool ReadWanted(const std::u16string& folder, const std::vector<std::u16string>& names, Seen&& seen) {
    std::vector<std::string> native;
    native.reserve(names.size());
    for (const auto& name : names) native.push_back(ToNative(name));
    const NameIndex<char> wanted(native);
    DIR* dir = opendir(NativeFolder(folder).c_str());
    if (!dir) return false;
    while (const dirent* e = readdir(dir)) {
        const std::size_t i = wanted.Find(e->d_name);
        if (i != NameIndex<char>::npos) seen(i, *e, dirfd(dir));
    }
    closedir(dir);
    return true;
}

// File systems whose folder entries carry the same file number a stat of the
// entry reports. Elsewhere (overlay and FUSE file systems, network mounts) the
// two may differ, so the entries are looked at one by one.
bool FolderNumbersAreFileNumbers(int dirFd) {
    struct statfs fs {};
    if (fstatfs(dirFd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case 0xEF53:      // ext2, ext3, ext4
        case 0x58465342:  // xfs
        case 0x9123683E:  // btrfs
        case 0x01021994:  // tmpfs
        case 0x858458F6:  // ramfs
        case 0xF2F52010:  // f2fs
            return true;
        default:
            return false;
    }
}

}  // namespace

// The folder's entries carry their own type, so one pass over it answers for
// thousands of names without a stat each; only links (to tell what they lead
// to) and file systems that leave the type out are looked at one by one. The
// same pass gives the file numbers where the entries carry the real ones.
std::vector<EntryKind> PosixFileSystem::ExamineAll(const std::u16string& folder,
                                                   const std::vector<std::u16string>& names,
                                                   std::vector<FileIdentity>* numbers) {
    std::vector<EntryKind> kinds(names.size(), EntryKind::kMissing);
    const std::string base = NativeFolder(folder);
    if (numbers) numbers->assign(names.size(), FileIdentity{});
    struct stat folderStat {};
    bool entryNumbers = false;
    ReadWanted(folder, names, [&](std::size_t i, const dirent& e, int fd) {
        if (numbers && folderStat.st_ino == 0 && fstat(fd, &folderStat) == 0)
            entryNumbers = FolderNumbersAreFileNumbers(fd);
        struct stat st {};
        switch (e.d_type) {
            case DT_REG:
                kinds[i] = EntryKind::kFile;
                break;
            case DT_DIR:
                kinds[i] = EntryKind::kFolder;
                break;
            case DT_LNK:
                kinds[i] = fstatat(fd, e.d_name, &st, 0) == 0 && S_ISREG(st.st_mode) ? EntryKind::kLinkToFile
                                                                                     : EntryKind::kOtherLink;
                break;
            case DT_UNKNOWN:
                kinds[i] = posix::ExamineEntry(base + e.d_name);
                break;
            default:
                kinds[i] = EntryKind::kOther;
                break;
        }
        if (!numbers) return;
        FileIdentity& id = (*numbers)[i];
        if (entryNumbers) {
            id.exists = true;
            id.device = static_cast<std::uint64_t>(folderStat.st_dev);
            id.file = static_cast<std::uint64_t>(e.d_ino);
        } else {
            id = Identify(FromNative(base + e.d_name), false);
        }
    });
    return kinds;
}

FileSystem& NativeFileSystem() {
    static PosixFileSystem fs;
    return fs;
}

}  // namespace zv
