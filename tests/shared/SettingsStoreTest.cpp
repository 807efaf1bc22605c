#include <gtest/gtest.h>

#include "TempConfigHome.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using zv::test::TempConfigHome;

namespace {

TEST(SettingsStore, LivesWhereTheRemoverLooks) {
    TempConfigHome home;
    EXPECT_EQ(zv::SettingsKeyPath(zv::kSettingsApp), u"Software\\VB and VBA Program Settings\\Zorvik");
    ASSERT_EQ(zv::SaveSetting(zv::kSettingsApp, zv::kSettingsSection, zv::kSettingPath, u"/srv/写真"), 0);
    zv::reg::ScopedKey key;
    ASSERT_EQ(
        zv::reg::OpenKey(zv::reg::kCurrentUser, u"Software\\VB and VBA Program Settings\\Zorvik\\Setting",
                         zv::reg::kKeyQueryValue, key.out()),
        zv::reg::kSuccess);
    std::u16string text;
    ASSERT_EQ(zv::reg::QueryString(key.get(), u"PATH", &text), zv::reg::kSuccess);
    EXPECT_EQ(text, u"/srv/写真");
}

// What GetSetting answers for DRIVE after a given history of the store.
struct GetCase {
    const char* label;
    void (*prepare)();
    std::u16string expected;
};

void PrintTo(const GetCase& c, std::ostream* os) { *os << c.label; }

const GetCase kGetCases[] = {
    {"NothingStored", [] {}, u"fallback"},
    {"Stored", [] { zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u"D:"); }, u"D:"},
    {"StoredEmpty", [] { zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u""); }, u""},
    {"NotAText",
     [] {
         zv::reg::HKey key = 0;
         zv::reg::CreateKey(zv::reg::kCurrentUser, zv::SettingsKeyPath(u"Zorvik", u"Setting"),
                            zv::reg::kKeySetValue, &key);
         zv::reg::SetValue(key, u"DRIVE", zv::reg::kRegDword, {1, 0, 0, 0});
         zv::reg::CloseKey(key);
     },
     u"fallback"},
};

class SettingsGet : public testing::TestWithParam<GetCase> {};

TEST_P(SettingsGet, AnswersStoredTextOrFallback) {
    TempConfigHome home;
    GetParam().prepare();
    long error = -1;
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"DRIVE", u"fallback", &error), GetParam().expected);
    EXPECT_EQ(error, 0);
}

INSTANTIATE_TEST_SUITE_P(SettingsStore, SettingsGet, testing::ValuesIn(kGetCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(SettingsStore, DeletingTheApplicationKeepsOtherKeys) {
    TempConfigHome home;
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u"C:"), 0);
    ASSERT_EQ(zv::SaveSetting(u"Zorvik", u"Window", u"Left", u"10"), 0);
    ASSERT_EQ(zv::SaveSetting(u"Neighbour", u"Setting", u"DRIVE", u"N:"), 0);
    ASSERT_EQ(zv::DeleteSetting(u"Zorvik"), 0);
    EXPECT_EQ(zv::GetSetting(u"Neighbour", u"Setting", u"DRIVE", u"-"), u"N:");
    zv::reg::ScopedKey key;
    EXPECT_EQ(
        zv::reg::OpenKey(zv::reg::kCurrentUser, zv::SettingsKeyPath(u"Zorvik"), zv::reg::kKeyRead, key.out()),
        zv::reg::kFileNotFound);
    EXPECT_EQ(zv::DeleteSetting(u"Zorvik"), zv::reg::kFileNotFound);
}

}  // namespace
