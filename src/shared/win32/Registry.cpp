// The registry through advapi32's wide functions. The neutral calls already
// use Windows' numbers, rights and types, so most calls pass straight
// through; what is checked here is only what Windows versions answer
// differently, so every platform gives the same answer.
#include "shared/Registry.h"

#include <windows.h>

namespace zv::reg {

namespace {

bool IsPredefined(HKey key) { return key >= kClassesRoot && key <= kCurrentConfig; }

// The predefined roots are 32-bit values that Windows sign-extends into a
// 64-bit HKEY; opened keys are plain handle values.
HKEY ToNative(HKey key) {
    if (IsPredefined(key))
        return reinterpret_cast<HKEY>(static_cast<INT_PTR>(static_cast<LONG>(static_cast<DWORD>(key))));
    return reinterpret_cast<HKEY>(key);
}

HKey FromNative(HKEY key) { return reinterpret_cast<HKey>(key); }

// Copies the name into a NUL-terminated string. Control characters are
// refused: a NUL would silently cut the name short, and the others cannot be
// kept by the registry file of other platforms, so a name stored here can be
// stored everywhere.
bool Terminated(std::u16string_view name, std::wstring& out) {
    for (char16_t c : name)
        if (c < 0x20 || c == 0x7F) return false;
    out.assign(name.begin(), name.end());
    return true;
}

// Empty parts ("a\\\\b", a leading or trailing "\\") and over-long parts get
// one answer everywhere instead of whatever the Windows version does.
long CheckKeyPath(std::u16string_view subKey, std::wstring& out) {
    if (!Terminated(subKey, out)) return kInvalidParameter;
    if (subKey.empty()) return kSuccess;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = subKey.find(u'\\', start);
        const std::size_t len = sep == std::u16string_view::npos ? subKey.size() - start : sep - start;
        if (len == 0) return kBadPathname;
        if (len > kMaxKeyNameLength) return kInvalidParameter;
        if (sep == std::u16string_view::npos) return kSuccess;
        start = sep + 1;
    }
}

long CheckValueName(std::u16string_view name, std::wstring& out) {
    if (name.size() > kMaxValueNameLength || !Terminated(name, out)) return kInvalidParameter;
    return kSuccess;
}

}  // namespace

long OpenKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result) {
    if (!result) return kInvalidParameter;
    std::wstring path;
    long rc = CheckKeyPath(subKey, path);
    if (rc != kSuccess) return rc;
    HKEY opened = nullptr;
    rc = RegOpenKeyExW(ToNative(root), path.c_str(), 0, access, &opened);
    if (rc == kSuccess) *result = FromNative(opened);
    return rc;
}

long CreateKey(HKey root, std::u16string_view subKey, std::uint32_t access, HKey* result, bool* created) {
    if (!result) return kInvalidParameter;
    std::wstring path;
    long rc = CheckKeyPath(subKey, path);
    if (rc != kSuccess) return rc;
    HKEY opened = nullptr;
    DWORD disposition = 0;
    rc = RegCreateKeyExW(ToNative(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                         &opened, &disposition);
    if (rc != kSuccess) return rc;
    *result = FromNative(opened);
    if (created) *created = disposition == REG_CREATED_NEW_KEY;
    return kSuccess;
}

long CloseKey(HKey key) {
    if (IsPredefined(key)) return kSuccess;
    return RegCloseKey(ToNative(key));
}

long DeleteKey(HKey root, std::u16string_view subKey) {
    std::wstring path;
    long rc = CheckKeyPath(subKey, path);
    if (rc != kSuccess) return rc;
    // A root itself is never deleted, whatever the Windows version would try.
    if (path.empty() && IsPredefined(root)) return kAccessDenied;
    return RegDeleteKeyW(ToNative(root), path.c_str());
}

long QueryValue(HKey key, std::u16string_view name, std::uint32_t* type, std::vector<std::uint8_t>* data) {
    std::wstring valueName;
    if (!Terminated(name, valueName)) return kFileNotFound;
    std::vector<std::uint8_t> buffer(256);
    for (;;) {
        DWORD stored = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        const long rc =
            RegQueryValueExW(ToNative(key), valueName.c_str(), nullptr, &stored, buffer.data(), &size);
        // The value can grow between two calls; ask again with the new size.
        if (rc == ERROR_MORE_DATA) {
            buffer.resize(static_cast<std::size_t>(size) + 2);
            continue;
        }
        if (rc != kSuccess) return rc;
        buffer.resize(size);
        if (type) *type = stored;
        if (data) *data = std::move(buffer);
        return kSuccess;
    }
}

long SetValue(HKey key, std::u16string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    std::wstring valueName;
    const long rc = CheckValueName(name, valueName);
    if (rc != kSuccess) return rc;
    return RegSetValueExW(ToNative(key), valueName.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
}

long DeleteValue(HKey key, std::u16string_view name) {
    std::wstring valueName;
    if (!Terminated(name, valueName)) return kFileNotFound;
    return RegDeleteValueW(ToNative(key), valueName.c_str());
}

long EnumKey(HKey key, std::uint32_t index, std::u16string* name) {
    wchar_t buffer[kMaxKeyNameLength + 1];
    DWORD length = static_cast<DWORD>(std::size(buffer));
    const long rc = RegEnumKeyExW(ToNative(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == kSuccess && name) name->assign(buffer, buffer + length);
    return rc;
}

long EnumValue(HKey key, std::uint32_t index, std::u16string* name, std::uint32_t* type) {
    std::wstring buffer(kMaxValueNameLength + 1, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    DWORD stored = 0;
    const long rc =
        RegEnumValueW(ToNative(key), index, buffer.data(), &length, nullptr, &stored, nullptr, nullptr);
    if (rc != kSuccess) return rc;
    if (name) name->assign(buffer.begin(), buffer.begin() + length);
    if (type) *type = stored;
    return kSuccess;
}

// Windows keeps its registry itself: a damaged hive is the system's to mend.
long SetAsideDamaged(HKey, std::u16string*) { return kCantWrite; }

}  // namespace zv::reg
