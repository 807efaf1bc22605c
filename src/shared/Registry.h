#pragma once
// The registry as Zorvik's programs use it: keys below a few predefined roots,
// each holding named values. The calls, handle values, access rights and error
// numbers are those of the Windows registry, so a Win32 backend maps them one to
// one onto advapi32; the POSIX backend keeps one ".reg" text file per root key
// in $XDG_CONFIG_HOME/zorvik/registry/ (default ~/.config).
//
// Keys and value names are compared without regard to case and keep the case
// they were created with. Names and texts are UTF-16. Every call that changes
// something is complete when it returns: it either happened and is on disk, or
// it did not happen and nothing changed.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::reg {

// A key handle: a predefined root or a key opened by OpenKey/CreateKey.
using HKey = std::uintptr_t;

// Predefined roots, with the numbers Windows gives them (32-bit values; a
// 64-bit Win32 backend sign-extends them into its HKEY).
inline constexpr HKey kClassesRoot = 0x80000000u;
inline constexpr HKey kCurrentUser = 0x80000001u;
inline constexpr HKey kLocalMachine = 0x80000002u;
inline constexpr HKey kUsers = 0x80000003u;
inline constexpr HKey kCurrentConfig = 0x80000005u;

// Win32 error numbers the calls answer with.
enum Error : long {
    kSuccess = 0,
    kFileNotFound = 2,       // key or value missing
    kInvalidHandle = 6,      // not a root and not an open key
    kAccessDenied = 5,       // access right not requested; deleting a root or a key with sub keys
    kInvalidParameter = 87,  // name too long or not storable
    kBadPathname = 161,      // empty part in a key path ("a\\b", leading "\")
    kMoreData = 234,         // the caller's buffer is too small (fixed-size callers only)
    kNoMoreItems = 259,      // enumeration index past the last entry
    kBadDb = 1009,           // the stored registry is damaged; nothing is changed
    kCantRead = 1012,        // the stored registry cannot be read
    kCantWrite = 1013,       // the change could not be stored; the old state is kept
    kKeyDeleted = 1018,      // the open key has been deleted since it was opened
};

// Access rights (Windows' KEY_* values). Opening checks nothing beyond the
// key's existence; each call then needs the right that it uses.
enum Access : std::uint32_t {
    kKeyQueryValue = 0x0001,
    kKeySetValue = 0x0002,
    kKeyCreateSubKey = 0x0004,
    kKeyEnumerateSubKeys = 0x0008,
    kKeyRead = 0x20019,
    kKeyWrite = 0x20006,
    kKeyAllAccess = 0xF003F,
};

// Value types (Windows' REG_* values).
enum ValueType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

// Longest key name part and value name Windows accepts (in UTF-16 units).
inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Opens root\subKey, which must exist. An empty subKey opens root itself again.
long OpenKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result);

// Opens root\subKey, creating it and any missing key on the way. An existing
// key is opened as it is. created (optional) tells whether the key is new.
long CreateKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result,
               bool* created = nullptr);

// Closes a key opened above. Closing a predefined root does nothing.
long CloseKey(HKey key);

// Deletes root\subKey. A key that still has sub keys is refused with
// kAccessDenied, as Windows does; so is a predefined root.
long DeleteKey(HKey root, std::u16string_view subKey);

// A value's type and raw data, as Windows stores it: REG_SZ and REG_EXPAND_SZ
// are UTF-16LE with one terminating NUL, REG_DWORD four little-endian bytes.
// An empty name addresses the key's default value.
long QueryValue(HKey key, std::u16string_view name, std::uint32_t* type, std::vector<std::uint8_t>* data);

// A REG_SZ or REG_EXPAND_SZ value as text, cut at its first NUL. type
// (optional) receives the stored type; other types answer kSuccess with an
// empty text and their type.
long QueryString(HKey key, std::u16string_view name, std::u16string* text, std::uint32_t* type = nullptr);

// Writes a value (replacing one of the same name, whatever its type).
long SetValue(HKey key, std::u16string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data);

// Writes text as a REG_SZ value.
long SetString(HKey key, std::u16string_view name, std::u16string_view text);

long DeleteValue(HKey key, std::u16string_view name);

// The index-th sub key name (in the case it was created) or value name;
// kNoMoreItems past the last. Sub keys come in case-insensitive name order,
// values in the order they were first written.
long EnumKey(HKey key, std::uint32_t index, std::u16string* name);
long EnumValue(HKey key, std::uint32_t index, std::u16string* name, std::uint32_t* type = nullptr);

// When the stored registry of a root is damaged (kBadDb), moves it aside
// under another name in the same place, so the root starts empty and can be
// written again while the damaged store is kept for whoever wants it back.
// keptAs (optional) receives where it went. kSuccess also when there was
// nothing damaged to move; kCantWrite where this cannot be done.
long SetAsideDamaged(HKey root, std::u16string* keptAs = nullptr);

// Closes the key when it goes out of scope.
class ScopedKey {
  public:
    ScopedKey() = default;
    explicit ScopedKey(HKey key) : key_(key) {}
    ~ScopedKey() { reset(); }
    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    HKey get() const { return key_; }
    HKey* out() {
        reset();
        return &key_;
    }
    void reset() {
        if (key_ != 0) CloseKey(key_);
        key_ = 0;
    }

  private:
    HKey key_ = 0;
};

}  // namespace zv::reg
