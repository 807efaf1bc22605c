#include "SysInfo.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <exception>

#include "shared/FileSystem.h"

namespace zv::dialogs {

namespace {

constexpr char16_t kMsinfoKey[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr char16_t kMsinfoLocationKey[] = u"SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr char16_t kMsinfoProgram[] = u"MSINFO32.EXE";
constexpr char16_t kUnavailable[] = u"現時点ではｼｽﾃﾑ情報を使用できません";
// The program's title, which a message box without a caption of its own shows.
constexpr char16_t kProgramTitle[] = u"Zorvik";

}  // namespace

bool GetKeyValue(reg::HKey keyRoot, const std::u16string& keyName, const std::u16string& subKeyRef,
                 std::u16string& keyVal) {
    // Reading needs no more than the query right; asking for write rights
    // under HKEY_LOCAL_MACHINE would fail for every ordinary user on Windows.
    reg::ScopedKey key;
    if (reg::OpenKey(keyRoot, keyName, reg::kKeyQueryValue, key.out()) != reg::kSuccess) {
        keyVal.clear();
        return false;
    }
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (reg::QueryValue(key.get(), subKeyRef, &type, &data) != reg::kSuccess) {
        keyVal.clear();
        return false;
    }
    if (type == reg::kRegSz) {
        std::u16string text;
        for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
            const char16_t c = char16_t(data[i] | data[i + 1] << 8);
            if (c == u'\0') break;
            text += c;
        }
        keyVal = text;
    } else if (type == reg::kRegDword) {
        // The value itself, in decimal: four little-endian bytes, whatever
        // bytes of them are zero.
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4 && i < data.size(); ++i) value |= std::uint32_t(data[i]) << (8 * i);
        const std::string digits = std::to_string(value);
        keyVal.assign(digits.begin(), digits.end());
    }
    return true;
}

const std::vector<std::u16string>& SysInfoFallbackPrograms() {
    static const std::vector<std::u16string> programs{
        u"hardinfo",          u"hardinfo2", u"kinfocenter", u"gnome-system-monitor", u"mate-system-monitor",
        u"xfce4-taskmanager", u"lxtask",
    };
    return programs;
}

std::u16string StartSysInfo(SysInfoPlatform& platform, MessageBoxService& messages) {
    try {
        std::u16string path;
        if (GetKeyValue(reg::kLocalMachine, kMsinfoKey, u"PATH", path)) {
            if (platform.Start(path)) return path;
        } else if (GetKeyValue(reg::kLocalMachine, kMsinfoLocationKey, u"MSINFO", path)) {
            const std::u16string program = JoinPath(path, kMsinfoProgram);
            if (platform.FileExists(program) && platform.Start(program)) return program;
        } else {
            // No registry entry at all, as on every Linux system.
            for (const std::u16string& name : SysInfoFallbackPrograms()) {
                const std::u16string program = platform.FindOnPath(name);
                if (!program.empty() && platform.Start(program)) return program;
            }
        }
    } catch (const std::exception&) {
        // Falls through to the one message below.
    }
    messages.Show(kUnavailable, kOkOnly, kProgramTitle);
    return {};
}

bool QtSysInfoPlatform::FileExists(const std::u16string& path) {
    const QFileInfo info(QString::fromStdU16String(path));
    return info.exists() && info.isFile();
}

std::u16string QtSysInfoPlatform::FindOnPath(const std::u16string& name) {
    return QStandardPaths::findExecutable(QString::fromStdU16String(name)).toStdU16String();
}

bool QtSysInfoPlatform::Start(const std::u16string& program) {
    if (program.empty()) return false;
    return QProcess::startDetached(QString::fromStdU16String(program), {});
}

}  // namespace zv::dialogs
