#pragma once
// Starting the system's information program from the about box: first the
// program the registry names (as on Windows), then the first of the usual
// Linux programs found on PATH.

#include <string>
#include <vector>

#include "shared/MessageBox.h"
#include "shared/Registry.h"

namespace zv::dialogs {

// What the launcher needs of the operating system.
class SysInfoPlatform {
  public:
    virtual ~SysInfoPlatform() = default;
    virtual bool FileExists(const std::u16string& path) = 0;
    // Full path of a program found on PATH, or empty.
    virtual std::u16string FindOnPath(const std::u16string& name) = 0;
    // Starts the program with a normal, focused window; false when it cannot be started.
    virtual bool Start(const std::u16string& program) = 0;
};

// Reads root\keyName's value valueName into keyVal. A string value is taken up
// to its first NUL; a DWORD becomes its decimal number; any other type leaves
// keyVal as it came and still answers true. False (and keyVal empty) when the
// key or the value is missing. Never reports.
bool GetKeyValue(reg::HKey keyRoot, const std::u16string& keyName, const std::u16string& subKeyRef,
                 std::u16string& keyVal);

// Programs tried on PATH when the registry names none, in this order.
const std::vector<std::u16string>& SysInfoFallbackPrograms();

// The whole of cmdSysInfo_Click: starts a program or shows
// "現時点ではｼｽﾃﾑ情報を使用できません". Returns the program started, or empty.
std::u16string StartSysInfo(SysInfoPlatform& platform, MessageBoxService& messages);

// The operating system itself (QProcess, QStandardPaths).
class QtSysInfoPlatform final : public SysInfoPlatform {
  public:
    bool FileExists(const std::u16string& path) override;
    std::u16string FindOnPath(const std::u16string& name) override;
    bool Start(const std::u16string& program) override;
};

}  // namespace zv::dialogs
