// How the POSIX registry store lays out and guards its file.
#include <gtest/gtest.h>

#include <string>

#include "TempConfigHome.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using namespace zv::reg;
using zv::test::TempConfigHome;

namespace {

long Write(HKey root, std::u16string_view path, std::u16string_view name, std::u16string_view text) {
    ScopedKey key;
    long r = CreateKey(root, path, kKeySetValue, key.out());
    return r == kSuccess ? SetString(key.get(), name, text) : r;
}

TEST(Registry, JapaneseIsStoredAsReadableText) {
    TempConfigHome home;
    ASSERT_EQ(Write(kCurrentUser, u"Software\\日本", u"名前", u"写真"), kSuccess);
    std::string file = home.Read("HKEY_CURRENT_USER");
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\Software\\日本]\n\"名前\"=\"写真\"\n"), std::string::npos)
        << file;
}

TEST(SettingsStore, WritesItsKeyAsASectionOfTheFile) {
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(zv::kSettingsApp, zv::kSettingsSection, zv::kSettingPath, u"/srv/写真"), 0);
    EXPECT_NE(home.Read("HKEY_CURRENT_USER")
                  .find("[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Zorvik\\Setting]\n"
                        "\"PATH\"=\"/srv/写真\"\n"),
              std::string::npos);
}

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

}  // namespace
