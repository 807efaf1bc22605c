#pragma once
// One engine on the real file system, the window replaced by the fake, and
// the file helpers the tests of real runs share.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/EngineFakes.h"
#include "shared/posix/ScratchFolder.h"

namespace zv::test {

inline constexpr long long kOldTime = 1000000000;
inline const LocalDateTime kStamp{2024, 3, 7, 9, 5, 3};  // what the window's time-stamp boxes hold
using Controls = std::vector<std::pair<const char*, std::u16string>>;

// The entry's own time (a link's, not its target's), as a local time.
inline LocalDateTime LocalTime(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    std::tm tm{};
    ::localtime_r(&st.st_mtim.tv_sec, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}
inline void SetOldTime(const std::string& path) {
    struct timespec times[2] = {{kOldTime, 0}, {kOldTime, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}
inline const LocalDateTime kOld = [] {
    std::time_t t = kOldTime;
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}();
inline int Attributes(const std::string& path) { return NativeFileSystem().GetAttributes(FromNative(path)); }

struct DiskRig {
    ScratchFolder scratch;
    FakeWindow ui;
    FixedClock clock{LocalDateTime{2025, 11, 30, 23, 59, 8}};
    ConversionEngine engine{EnginePorts{ui, ui, ui, clock, NativeFileSystem(), ui, ui}};

    void Job(const std::string& source, const std::string& destination, const Controls& controls) {
        ui.Set("F_Dir", FromNative(source));
        ui.Set("A_Dir", FromNative(destination));
        for (const auto& [control, value] : controls) ui.Set(control, value);
    }
    // Creates the files (content = name + pattern) and selects them all.
    void Files(const std::string& folder, const std::vector<std::string>& names) {
        std::vector<std::u16string> listed;
        for (const auto& n : names) {
            ScratchFolder::Write(folder + "/" + n, Content(n));
            SetOldTime(folder + "/" + n);
            listed.push_back(FromNative(n));
        }
        ui.SelectAll(listed);
    }
    static std::string Content(const std::string& name) {
        return name + ScratchFolder::Pattern(3000, static_cast<unsigned>(name.size()));
    }
};

}  // namespace zv::test
