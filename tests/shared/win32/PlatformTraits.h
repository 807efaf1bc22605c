#pragma once
// What the platform under test does where platforms legitimately differ or
// where a test host reproduces the platform only in part. Neutral tests ask
// here instead of assuming.
//
// Wine (the test host of the Windows build) differs from Windows in a few
// places the tests touch:
// - registry values are enumerated in name order, not in the order they were
//   written;
// - creating a sub key through a handle opened without KEY_CREATE_SUB_KEY
//   is allowed;
// - its upper-case table leaves final sigma (U+03C2) unchanged, where
//   Windows and NTFS map it to U+03A3;
// - every file reports the archive attribute, and hidden or system cannot be
//   stored on a read-only file (Wine keeps them in an extended attribute,
//   which needs write permission).

#include <windows.h>

namespace zv::test {

inline bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

inline bool RegistryKeepsValueWritingOrder() { return !UnderWine(); }
inline bool RegistryChecksCreateSubKeyRight() { return !UnderWine(); }
inline bool CaseTableFoldsFinalSigma() { return !UnderWine(); }
inline bool KeepsArchiveAndHiddenOnReadOnly() { return !UnderWine(); }

}  // namespace zv::test
