#pragma once
// Where a volume keeps the read-only, hidden, system and archive attributes.
// Windows volumes keep them in their own attribute word, which Linux shows
// through an extended attribute (NTFS, ntfs-3g and ntfs3) or an ioctl (FAT,
// the kernel's vfat); elsewhere hidden, system and archive live in
// user.DOSATTRIB as Samba and Wine keep them, and read-only is the write
// permission. One function decides which applies to a folder's volume.

#include <cstdint>
#include <string>

namespace zv::posix {

enum class AttributeStore {
    kWriteBits,  // read-only only: no place for the other three
    kDosAttrib,  // user.DOSATTRIB plus the write bits
    kNtfsWord,   // system.ntfs_attrib_be
    kFatWord,    // FAT_IOCTL_GET/SET_ATTRIBUTES
};

// The kernel calls that tell volumes apart and reach FAT's attribute byte.
// Tests swap them to take the FAT road on a kernel without vfat.
struct VolumeCalls {
    long (*fsType)(const char* path);  // statfs's f_type, -1 when unknown
    int (*getFat)(int fd, std::uint32_t* attrs);
    int (*setFat)(int fd, std::uint32_t attrs);
};
VolumeCalls& Volume();

// The store of the volume that holds the folder. Reads only: nothing is
// created in the folder to find out.
AttributeStore DecideAttributeStore(const std::string& folder);

// The attribute bits (FileAttribute) files on such a volume keep.
int KeptAttributes(AttributeStore store);

// The four bits of a regular file (the caller has made sure it is one), or -1.
int ReadAttributes(AttributeStore store, const std::string& file);
// Whether the entry is marked hidden or system, as the lists ask it of every
// entry (a link answers for itself).
bool HiddenOrSystem(AttributeStore store, const std::string& path);
// Replaces the four bits of a regular file; 0 or an errno value. Bits the
// store cannot keep fail with ENOTSUP unless they are to be cleared.
int WriteAttributes(AttributeStore store, const std::string& file, int mask);

}  // namespace zv::posix
