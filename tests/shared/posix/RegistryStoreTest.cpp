// How the POSIX registry store lays out and guards its file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "TempConfigHome.h"
#include "shared/NativeName.h"
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

    // Set aside: kept under the first free name, the store starts afresh.
    const std::string file = home.File("HKEY_CURRENT_USER").string();
    std::ofstream(file + ".damaged") << "an older one\n";
    std::u16string keptAs;
    EXPECT_EQ(zv::SetAsideDamagedSettings(&keptAs), kSuccess);
    EXPECT_EQ(keptAs, zv::FromNative(file + ".damaged-2"));
    const auto text = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(text(file + ".damaged-2"), damaged);
    EXPECT_EQ(text(file + ".damaged"), "an older one\n");
    EXPECT_EQ(zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", u"/home"), kSuccess);
    // A sound store is not moved.
    EXPECT_EQ(zv::SetAsideDamagedSettings(&keptAs), kSuccess);
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u""), u"/home");
}

}  // namespace
