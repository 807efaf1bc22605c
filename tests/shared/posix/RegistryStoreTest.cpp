// How the POSIX registry store lays out and guards its file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "TempConfigHome.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using namespace zv::reg;
using zv::test::TempConfigHome;

namespace {

TEST(SettingsStore, DamagedRegistryIsReportedNotFatal) {
    TempConfigHome home;
    const std::string damaged = "this is not a registry file\n";
    home.Write("HKEY_CURRENT_USER", damaged);
    long error = 0;
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"/opt/zorvik", &error), u"/opt/zorvik");
    EXPECT_EQ(error, zv::reg::kBadDb);
    EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/home"), zv::reg::kBadDb);
    EXPECT_EQ(zv::DeleteSetting(u"Zorvik"), zv::reg::kBadDb);
    EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), damaged);
}

// The store file as the user keeps it: a link into a dotfiles folder stays a
// link, a file keeps its permissions, a read-only one is not replaced.
struct StoreFileCase {
    const char* label;
    bool throughLink;
    mode_t mode;
    long result;
};

class StoreFile : public testing::TestWithParam<StoreFileCase> {};

TEST_P(StoreFile, SaveRespectsTheFileTheUserKeeps) {
    const StoreFileCase& c = GetParam();
    TempConfigHome home;
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::filesystem::path real = home.Root() / "dotfiles" / "registry.reg";
    std::filesystem::create_directories(real.parent_path());
    std::filesystem::create_directories(home.Folder());
    std::ofstream(real, std::ios::binary) << text;
    ::chmod(real.c_str(), c.mode);
    const std::filesystem::path file = home.File("HKEY_CURRENT_USER");
    if (c.throughLink)
        std::filesystem::create_symlink("../../dotfiles/registry.reg", file);
    else
        std::filesystem::rename(real, file);
    const std::filesystem::path data = c.throughLink ? real : file;

    EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/home"), c.result);

    EXPECT_EQ(std::filesystem::is_symlink(file), c.throughLink);
    struct stat st {};
    ASSERT_EQ(::stat(data.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.mode);
    std::ifstream in(data, std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(now.find("/home") != std::string::npos, c.result == zv::reg::kSuccess) << now;
    EXPECT_FALSE(std::filesystem::exists(data.string() + ".tmp"));
}

INSTANTIATE_TEST_SUITE_P(Registry, StoreFile,
                         testing::Values(StoreFileCase{"PlainKeepsMode", false, 0640, zv::reg::kSuccess},
                                         StoreFileCase{"ThroughLink", true, 0644, zv::reg::kSuccess},
                                         StoreFileCase{"ReadOnlyNotReplaced", false, 0444, zv::reg::kCantWrite},
                                         StoreFileCase{"ReadOnlyBehindLink", true, 0400, zv::reg::kCantWrite}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
