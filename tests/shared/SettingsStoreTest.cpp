#include <gtest/gtest.h>

#include "TempConfigHome.h"
#include "shared/Registry.h"
#include "shared/SettingsStore.h"

using namespace zv;
using zv::test::TempConfigHome;

namespace {

// The key the remover deletes, and what GetSetting answers for DRIVE after a
// given history of the store.
TEST(SettingsStore, AnswersStoredTextOrFallbackWhereTheRemoverLooks) {
    const struct {
        void (*prepare)();
        std::u16string expected;
    } cases[] = {
        {[] {}, u"fallback"},
        {[] { SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u"D:"); }, u"D:"},
        {[] { SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u""); }, u""},
        {[] {  // not a text
             reg::ScopedKey key;
             reg::CreateKey(reg::kCurrentUser, SettingsKeyPath(u"Zorvik", u"Setting"), reg::kKeySetValue,
                            key.out());
             reg::SetValue(key.get(), u"DRIVE", reg::kRegDword, {1, 0, 0, 0});
         },
         u"fallback"},
    };
    for (const auto& c : cases) {
        TempConfigHome home;
        c.prepare();
        long error = -1;
        EXPECT_EQ(GetSetting(u"Zorvik", u"Setting", u"DRIVE", u"fallback", &error), c.expected);
        EXPECT_EQ(error, 0);
    }
    TempConfigHome home;
    ASSERT_EQ(SaveSetting(kSettingsApp, kSettingsSection, kSettingPath, u"/srv/写真"), 0);
    reg::ScopedKey key;
    ASSERT_EQ(reg::OpenKey(reg::kCurrentUser, u"Software\\VB and VBA Program Settings\\Zorvik\\Setting",
                           reg::kKeyQueryValue, key.out()),
              reg::kSuccess);
    std::u16string text;
    ASSERT_EQ(reg::QueryString(key.get(), u"PATH", &text), reg::kSuccess);
    EXPECT_EQ(text, u"/srv/写真");
}

TEST(SettingsStore, DeletingTheApplicationKeepsOtherKeys) {
    TempConfigHome home;
    ASSERT_EQ(SaveSetting(u"Zorvik", u"Setting", u"DRIVE", u"C:"), 0);
    ASSERT_EQ(SaveSetting(u"Zorvik", u"Window", u"Left", u"10"), 0);
    ASSERT_EQ(SaveSetting(u"Neighbour", u"Setting", u"DRIVE", u"N:"), 0);
    ASSERT_EQ(DeleteSetting(u"Zorvik"), 0);
    EXPECT_EQ(GetSetting(u"Neighbour", u"Setting", u"DRIVE", u"-"), u"N:");
    reg::ScopedKey key;
    EXPECT_EQ(reg::OpenKey(reg::kCurrentUser, SettingsKeyPath(u"Zorvik"), reg::kKeyRead, key.out()),
              reg::kFileNotFound);
    EXPECT_EQ(DeleteSetting(u"Zorvik"), reg::kFileNotFound);
}

}  // namespace
