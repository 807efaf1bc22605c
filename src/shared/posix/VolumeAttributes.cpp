#include "VolumeAttributes.h"

#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "DosAttrib.h"
#include "shared/FileSystem.h"

namespace zv::posix {

namespace {

constexpr int kFourBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
constexpr int kDosBits = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr std::uint32_t kNtfsNormal = 0x80;  // the word of a file with none of the others
constexpr char kNtfsWordName[] = "system.ntfs_attrib_be";

constexpr long kMsdosMagic = 0x4d44;
constexpr long kNtfs3Magic = 0x7366746e;
constexpr long kNtfsMagic = 0x5346544e;
constexpr long kFuseMagic = 0x65735546;

long StatfsType(const char* path) {
    struct statfs fs {};
    if (::statfs(path, &fs) != 0) return -1;
    return static_cast<long>(fs.f_type);
}
int IoctlGetFat(int fd, std::uint32_t* attrs) { return ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, attrs); }
int IoctlSetFat(int fd, std::uint32_t attrs) { return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &attrs); }

bool Unsupported(int err) { return err == ENOTSUP || err == EOPNOTSUPP || err == ENOSYS; }

// The NTFS word travels big-endian whatever the machine.
bool ReadNtfsWord(const std::string& path, std::uint32_t& word) {
    unsigned char b[4];
    const ssize_t n = ::lgetxattr(path.c_str(), kNtfsWordName, b, sizeof b);
    if (n != 4) {
        if (n >= 0) errno = EIO;
        return false;
    }
    word = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
    return true;
}
int WriteNtfsWord(const std::string& path, std::uint32_t word) {
    const unsigned char b[4] = {static_cast<unsigned char>(word >> 24), static_cast<unsigned char>(word >> 16),
                                static_cast<unsigned char>(word >> 8), static_cast<unsigned char>(word)};
    return ::lsetxattr(path.c_str(), kNtfsWordName, b, sizeof b, 0) == 0 ? 0 : errno;
}

// A descriptor of the regular file itself: no link followed, no FIFO waited
// for, no device opened as a terminal.
int OpenRegular(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -EPERM;
    }
    return fd;
}

int ReadFatWord(const std::string& path, std::uint32_t& word) {
    int fd = OpenRegular(path);
    if (fd < 0) return -fd;
    int e = Volume().getFat(fd, &word) == 0 ? 0 : errno;
    ::close(fd);
    return e;
}

// Read-only as the write permission: set removes every write bit, cleared
// gives the owner's back and leaves a writable file's own bits alone.
int WriteReadOnly(const std::string& path, bool readOnly) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return errno;
    const mode_t mode = st.st_mode & 07777;
    mode_t wanted = mode;
    if (readOnly)
        wanted = mode & ~static_cast<mode_t>(0222);
    else if ((mode & 0222) == 0)
        wanted = mode | S_IWUSR;
    if (wanted == mode) return 0;
    return ::fchmodat(AT_FDCWD, path.c_str(), wanted, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

bool ModeReadOnly(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && (st.st_mode & 0222) == 0;
}

}  // namespace

VolumeCalls& Volume() {
    static VolumeCalls calls{StatfsType, IoctlGetFat, IoctlSetFat};
    return calls;
}

AttributeStore DecideAttributeStore(const std::string& folder) {
    const long type = Volume().fsType(folder.c_str());
    if (type == kMsdosMagic) return AttributeStore::kFatWord;
    // ntfs-3g is one of many FUSE file systems: the word itself tells.
    if (type == kNtfs3Magic || type == kNtfsMagic || type == kFuseMagic) {
        unsigned char word[4];
        if (::getxattr(folder.c_str(), kNtfsWordName, word, sizeof word) == 4) return AttributeStore::kNtfsWord;
    }
    if (::getxattr(folder.c_str(), kDosAttribName, nullptr, 0) < 0 && Unsupported(errno))
        return AttributeStore::kWriteBits;
    return AttributeStore::kDosAttrib;
}

int KeptAttributes(AttributeStore store) { return store == AttributeStore::kWriteBits ? kAttrReadOnly : kFourBits; }

int ReadAttributes(AttributeStore store, const std::string& file) {
    switch (store) {
        case AttributeStore::kNtfsWord: {
            std::uint32_t word = 0;
            return ReadNtfsWord(file, word) ? static_cast<int>(word) & kFourBits : -1;
        }
        case AttributeStore::kFatWord: {
            std::uint32_t word = 0;
            return ReadFatWord(file, word) == 0 ? static_cast<int>(word) & kFourBits : -1;
        }
        case AttributeStore::kDosAttrib:
            return (ModeReadOnly(file) ? kAttrReadOnly : 0) | (ReadDosAttrib(file) & kDosBits);
        case AttributeStore::kWriteBits:
            break;
    }
    return ModeReadOnly(file) ? kAttrReadOnly : 0;
}

bool HiddenOrSystem(AttributeStore store, const std::string& path) {
    constexpr int kHiding = kAttrHidden | kAttrSystem;
    switch (store) {
        case AttributeStore::kDosAttrib:
            return (ReadDosAttrib(path) & kHiding) != 0;
        case AttributeStore::kNtfsWord:
        case AttributeStore::kFatWord: {
            const int bits = ReadAttributes(store, path);
            return bits > 0 && (bits & kHiding) != 0;
        }
        case AttributeStore::kWriteBits:
            break;
    }
    return false;
}

int WriteAttributes(AttributeStore store, const std::string& file, int mask) {
    mask &= kFourBits;
    switch (store) {
        case AttributeStore::kNtfsWord: {
            std::uint32_t word = 0;
            if (!ReadNtfsWord(file, word)) return errno;
            word = (word & ~static_cast<std::uint32_t>(kFourBits | kNtfsNormal)) | static_cast<std::uint32_t>(mask);
            return WriteNtfsWord(file, word == 0 ? kNtfsNormal : word);
        }
        case AttributeStore::kFatWord: {
            int fd = OpenRegular(file);
            if (fd < 0) return -fd;
            std::uint32_t word = 0;
            int e = Volume().getFat(fd, &word) == 0 ? 0 : errno;
            if (e == 0) {
                word = (word & ~static_cast<std::uint32_t>(kFourBits)) | static_cast<std::uint32_t>(mask);
                e = Volume().setFat(fd, word) == 0 ? 0 : errno;
            }
            ::close(fd);
            return e;
        }
        case AttributeStore::kWriteBits:
            if (mask & kDosBits) return ENOTSUP;
            return WriteReadOnly(file, mask & kAttrReadOnly);
        case AttributeStore::kDosAttrib:
            break;
    }
    // Extended attributes need write permission: store them while the file
    // is still writable, and make it writable before storing them.
    // A single file refusing what its volume holds is only no failure when
    // there is nothing to store.
    auto writeDos = [&]() -> int {
        int e = WriteDosAttrib(file, mask);
        return Unsupported(e) && (mask & kDosBits) == 0 ? 0 : e;
    };
    if (mask & kAttrReadOnly) {
        if (int e = writeDos()) return e;
        return WriteReadOnly(file, true);
    }
    if (int e = WriteReadOnly(file, false)) return e;
    return writeDos();
}

}  // namespace zv::posix
