#pragma once
// Hidden, system and archive have no POSIX counterpart. They are kept in the
// extended attribute "user.DOSATTRIB" as the ASCII text "0x%x" (no NUL), the
// form Wine and Samba read and write, so the attributes survive a trip to a
// Windows share.

#include <string>

namespace zv::posix {

inline constexpr const char* kDosAttribName = "user.DOSATTRIB";

// The hidden/system/archive bits stored for the file, 0 when there are none or
// they cannot be read.
int ReadDosAttrib(const std::string& nativePath);

// Stores mask's hidden, system and archive bits; removes the attribute when the
// mask holds none of them. Returns 0 or the errno of the failure.
int WriteDosAttrib(const std::string& nativePath, int mask);

}  // namespace zv::posix
