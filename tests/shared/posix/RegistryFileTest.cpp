// The registry file on disk: damage is reported and never overwritten, values
// the program did not write survive its changes, the file the user keeps
// stays as kept, and concurrent writers in separate processes lose nothing.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempConfigHome.h"
#include "shared/NativeName.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using namespace zv::reg;
using zv::test::ScratchFolder;
using zv::test::TempConfigHome;

namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";
const std::string kCurrent = "HKEY_CURRENT_USER";

TEST(RegistryFile, DamageIsReportedAndNeverOverwritten) {
    // No header, an unclosed text, an unknown escape, a deleted key, bad hex, bytes that are not UTF-8.
    const std::string sw = kHeader + "[HKEY_CURRENT_USER\\Software]\n";
    // clang-format off
    const std::string cases[] = {"", "[HKEY_CURRENT_USER\\Software]\n\"a\"=\"b\"\n", sw + "\"a\"=\"b\n",
                                 sw + "\"a\"=\"C:\\Photos\"\n", kHeader + "[-HKEY_CURRENT_USER\\Software]\n",
                                 sw + "\"a\"=hex:0g,01\n", sw + "\"a\"=\"\xff\xfe\"\n"};
    // clang-format on
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        TempConfigHome home;
        home.Write(kCurrent, text);
        // A change loads the file under its lock; the settings below read it without.
        HKey key = 0;
        EXPECT_EQ(CreateKey(kCurrentUser, u"Software\\New", kKeyAllAccess, &key), kBadDb);
        // The settings report it and go on with their fallback.
        long error = 0;
        EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"/opt/zorvik", &error), u"/opt/zorvik");
        EXPECT_EQ(error, kBadDb);
        EXPECT_EQ(home.Read(kCurrent), text);
        // The other roots are not affected.
        EXPECT_EQ(CreateKey(kUsers, u".Default", kKeyAllAccess, &key), kSuccess);
        CloseKey(key);
    }
}

TEST(RegistryFile, DamagedFileIsSetAsideUnderAFreeName) {
    TempConfigHome home;
    home.Write(kCurrent, "this is not a registry file\n");
    const std::string file = home.File(kCurrent).string();
    std::ofstream(file + ".damaged") << "an older one\n";
    std::u16string keptAs;
    EXPECT_EQ(zv::SetAsideDamagedSettings(&keptAs), kSuccess);
    EXPECT_EQ(keptAs, zv::FromNative(file + ".damaged-2"));
    EXPECT_EQ(ScratchFolder::Read(file + ".damaged"), "an older one\n");
    EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/home"), kSuccess);
    // A sound store is not moved.
    EXPECT_EQ(zv::SetAsideDamagedSettings(&keptAs), kSuccess);
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u""), u"/home");
}

// Texts are written quoted, as the registry editor writes them.
TEST(RegistryFile, WritesTextsQuoted) {
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"C:\\写真"), kSuccess);
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u""), kSuccess);
    // Nothing but the registry's own folders is made on the way.
    EXPECT_EQ(ScratchFolder::Names(home.Root()), std::set<std::string>{"zorvik"});
    EXPECT_EQ(ScratchFolder::Names(home.Root() / "zorvik"), std::set<std::string>{"registry"});
    const std::string text = home.Read(kCurrent);
    EXPECT_NE(text.find("\"PATH\"=\"C:\\\\写真\"\n\"DRIVE\"=\"\"\n"), std::string::npos) << text;
}

// A file as a person or the registry editor may write it (a byte order mark,
// a root in lower case, hex data continued over lines) is read, and its
// values survive a change elsewhere exactly.
TEST(RegistryFile, ForeignValuesSurviveOtherChanges) {
    TempConfigHome home;
    home.Write(
        kCurrent,
        "\xEF\xBB\xBF" + kHeader +
            "[hkey_current_user\\Software\\App]\n\"m\"=hex(7):41,00,00,00,\\\n  42,00,00,00,\\\n  00,00\n"
            "\"s\"=\"\\\"q\\\\\"\n");
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/tmp"), kSuccess);
    ScopedKey key;
    ASSERT_EQ(OpenKey(kCurrentUser, u"Software\\App", kKeyQueryValue, key.out()), kSuccess);
    std::uint32_t type = 99;
    std::vector<std::uint8_t> data;
    EXPECT_EQ(QueryValue(key.get(), u"m", &type, &data), kSuccess);
    EXPECT_EQ(type, kRegMultiSz);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{0x41, 0, 0, 0, 0x42, 0, 0, 0, 0, 0}));
    EXPECT_EQ(QueryValue(key.get(), u"s", &type, &data), kSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, (std::vector<std::uint8_t>{'"', 0, 'q', 0, '\\', 0, 0, 0}));
}

// A link into a dotfiles folder stays a link, a file keeps its permissions,
// a read-only one is not replaced, and a failed write keeps the old file.
TEST(RegistryFile, SaveRespectsTheFileTheUserKeeps) {
    // Through a link or not, the mode, the answer.
    const std::tuple<bool, mode_t, long> cases[] = {
        {false, 0640, kSuccess}, {true, 0644, kSuccess}, {false, 0444, kCantWrite}, {true, 0400, kCantWrite}};
    for (const auto& [throughLink, mode, result] : cases) {
        SCOPED_TRACE(mode);
        TempConfigHome home;
        home.Write(kCurrent, kHeader);
        const std::filesystem::path file = home.File(kCurrent), real = home.Root() / "registry.reg";
        const std::filesystem::path data = throughLink ? real : file;
        if (throughLink) {
            std::filesystem::rename(file, real);
            std::filesystem::create_symlink("../../registry.reg", file);
        }
        ::chmod(data.c_str(), mode);

        EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/home"), result);

        EXPECT_EQ(std::filesystem::is_symlink(file), throughLink);
        EXPECT_EQ(std::filesystem::status(data).permissions(), std::filesystem::perms(mode));
        const std::string now = home.Read(kCurrent);
        EXPECT_EQ(now.find("/home") != std::string::npos, result == kSuccess) << now;
        EXPECT_FALSE(std::filesystem::exists(data.string() + ".tmp"));
    }
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"old"), kSuccess);
    const std::string before = home.Read(kCurrent);
    // A folder where the temporary file must go makes the write fail, even for root.
    std::filesystem::create_directory(home.File(kCurrent).string() + ".tmp");
    EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"new"), kCantWrite);
    EXPECT_EQ(home.Read(kCurrent), before);
}

// Several processes write at once; every value arrives.
TEST(RegistryFile, SeparateProcessesLoseNothing) {
    TempConfigHome home;
    constexpr int kWriters = 4, kPerWriter = 40;
    const auto name = [](int n) { return zv::FromNative(std::to_string(n)); };
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kPerWriter; ++i)
                failures += zv::SaveSetting(u"Race", name(w), name(i), u"値") != kSuccess;
            _exit(failures);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kPerWriter; ++i)
            EXPECT_EQ(zv::GetSetting(u"Race", name(w), name(i), u"lost"), u"値") << w << " " << i;
}

}  // namespace
