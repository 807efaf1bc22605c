// How the POSIX registry store lays out and guards its file.
#include <gtest/gtest.h>

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

}  // namespace
