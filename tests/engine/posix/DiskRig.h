#pragma once
// One engine on the real file system, the window replaced by fakes, and the
// file helpers the tests of real runs share.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/EngineFakes.h"
#include "shared/NativeName.h"
#include "shared/posix/ScratchFolder.h"

namespace zv::test {

inline constexpr long long kOldTime = 1000000000;

inline long long MTime(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim.tv_sec;
}

inline void SetMTime(const std::string& path, long long t) {
    struct timespec times[2] = {{static_cast<time_t>(t), 0}, {static_cast<time_t>(t), 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

inline LocalDateTime LocalOf(long long t) {
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    ::localtime_r(&tt, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

inline int Attributes(const std::string& path) { return NativeFileSystem().GetAttributes(FromNative(path)); }

struct DiskRig {
    ScratchFolder scratch;
    FakeJobSettings settings;
    ScriptedMessageBox messages;
    CountingEventPump events;
    FixedClock clock{LocalDateTime{2025, 11, 30, 23, 59, 8}};
    RecordingProgress progress;
    RecordingRunView view;
    ConversionEngine engine{
        EnginePorts{settings, messages, events, clock, NativeFileSystem(), progress, view}};

    void Folders(const std::string& source, const std::string& destination) {
        settings.SetText("F_Dir", FromNative(source));
        settings.SetText("A_Dir", FromNative(destination));
    }
    // Creates the files (content = name + pattern) and selects them all.
    void Files(const std::string& folder, const std::vector<std::string>& names, std::size_t bytes = 3000) {
        std::vector<std::u16string> listed;
        for (const auto& n : names) {
            ScratchFolder::Write(folder + "/" + n, Content(n, bytes));
            SetMTime(folder + "/" + n, kOldTime);
            listed.push_back(FromNative(n));
        }
        settings.SelectAll(listed);
    }
    static std::string Content(const std::string& name, std::size_t bytes = 3000) {
        return name + ScratchFolder::Pattern(bytes, static_cast<unsigned>(name.size()));
    }
    void Numbering(const std::u16string& before) {
        settings.SetText("Txt_B_text", before);
        settings.SetText("Lbl_keta", u"3");
    }
    void Replace(const std::u16string& what, const std::u16string& with) {
        settings.SetValue("Chk_syori(1)", 1);
        settings.SetText("Txt_B_text", what);
        settings.SetText("Txt_A_text", with);
    }
    void Operation(bool copy) {
        settings.SetValue("Opt_Cpymov(0)", copy ? -1 : 0);
        settings.SetValue("Opt_Cpymov(1)", copy ? 0 : -1);
    }
};

}  // namespace zv::test
