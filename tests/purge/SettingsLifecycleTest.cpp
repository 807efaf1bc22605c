// Both programs' windows over one registry: ZVNUM stores its folder when it
// closes, ZVPURGE removes it, and the next ZVNUM starts in its own folder.
// Other keys of the registry file stay as they were throughout.

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "TempConfigHome.h"
#include "mainwindow/DirListBox.h"
#include "purge/Frm_Main.h"
#include "shared/SettingsStore.h"

using zv::test::TempConfigHome;
using zvtest::MainWindowFixture;

namespace {

const std::string kNeighbour =
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\Software]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings]\n\n"
    "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Neighbour]\n\"v\"=dword:00000007\n\n";

// Runs ZVNUM's window from load to close; answers the folder it started in.
QString RunZvnum(const QString& programFolder) {
    MainWindowFixture zvnum;
    zvnum.files.folders[u"/prog"] = {};
    zvnum.files.folders[u"/photos"] = {};
    zvnum.window->Form_Load(programFolder);
    const QString started = zvnum.window->F_Dir->path();
    zvnum.window->show();
    zvnum.window->close();
    return started;
}

TEST(SettingsLifecycle, PurgedSettingsStartTheNextRunInTheProgramFolder) {
    TempConfigHome home;
    home.Write("HKEY_CURRENT_USER", kNeighbour);

    // A first run in /photos stores that folder when it closes.
    EXPECT_EQ(RunZvnum(QStringLiteral("/photos")), QStringLiteral("/photos"));
    ASSERT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"-"), u"/photos");

    zv::qt::QtMessageBox::SetAnswering(true);
    zv::qt::QtMessageBox::PresetAnswers({zv::kYes, zv::kOk});
    {
        zv::qt::QtMessageBox messages;
        zv::purge::Frm_Main purge(messages);
        purge.show();
        purge.Cmd_Exec->click();
    }
    zv::qt::QtMessageBox::SetAnswering(false);
    EXPECT_EQ(zv::GetSetting(u"Zorvik", u"Setting", u"PATH", u"-"), u"-");
    EXPECT_NE(home.Read("HKEY_CURRENT_USER")
                  .find("[HKEY_CURRENT_USER\\Software\\VB and VBA Program "
                        "Settings\\Neighbour]\n\"v\"=dword:00000007"),
              std::string::npos);

    // The next run, installed in /prog, starts there.
    EXPECT_EQ(RunZvnum(QStringLiteral("/prog")), QStringLiteral("/prog"));
}

}  // namespace
