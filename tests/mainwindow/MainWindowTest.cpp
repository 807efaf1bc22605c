// The main window on real folders, as the program starts it. Start-up and
// shutdown: where the five lists open from the stored drive and folder
// (silently in the program folder when either is gone), the stored settings,
// and the one-instance lock; the registry goes to a temporary XDG_CONFIG_HOME
// per test. Then the windows it opens: previews of a double-clicked file, the
// new-folder dialog, the about box and help.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <optional>

#include "MainWindowFixture.h"
#include "QtPrinters.h"
#include "TempConfigHome.h"
#include "dialogs/QtHelp.h"
#include "mainwindow/HelpKeys.h"
#include "mainwindow/SingleInstance.h"
#include "shared/SettingsStore.h"
#include "shared/Valiable.h"

using zv::qt::QtMessageBox;
using zv::test::TempConfigHome;
using zvtest::MainWindowFixture;

namespace {

std::u16string Stored(const char16_t* key) { return zv::GetSetting(u"Zorvik", u"Setting", key, u"-"); }

TEST(Startup, WindowNotLoadedWritesNothing) {
    TempConfigHome home;
    {
        MainWindowFixture f;
        f.window->show();
        f.window->close();
    }
    EXPECT_FALSE(std::filesystem::exists(home.File("HKEY_CURRENT_USER")));
}

// A damaged store: one question at start, nothing at exit. Yes keeps the
// damaged file under another name and the folders are stored afresh; No
// leaves it as it is.
TEST(Startup, DamagedStoreAsksOnceThenFreshOrUntouched) {
    for (int answer : {int(zv::kYes), int(zv::kNo)}) {
        SCOPED_TRACE(answer);
        TempConfigHome home;
        home.Write("HKEY_CURRENT_USER", "damaged\n");
        {
            MainWindowFixture f;
            f.files.folders.insert(u"/prog");
            QtMessageBox::PresetAnswers({answer});
            f.window->Form_Load("/prog");
            f.window->show();
            f.window->close();
            ASSERT_EQ(QtMessageBox::Shown().size(), 1u);
            EXPECT_EQ(QtMessageBox::Shown()[0].buttons, zv::kYesNo);
        }
        const std::filesystem::path aside = home.File("HKEY_CURRENT_USER").string() + ".damaged";
        if (answer == zv::kYes) {
            EXPECT_EQ(zv::test::ScratchFolder::Read(aside), "damaged\n");
            EXPECT_EQ(Stored(u"PATH"), u"/prog");
        } else {
            EXPECT_EQ(home.Read("HKEY_CURRENT_USER"), "damaged\n");
            EXPECT_FALSE(std::filesystem::exists(aside));
        }
    }
}

// ---- Start folders ----

enum class Volume { Ready, NotReady, Unplugged };

TEST(Startup, AllListsOpenWhereTheStoreSaysOrSilentlyInTheProgramFolder) {
    // The drive and folder stored (null: none), written with "%h" for home, "%m" mnt, "%s" the stick
    // and "%p" prog; the stick's state; the folder of all five lists and the drive of both drive lists.
    for (const auto& [label, drive, path, stick, expectedFolder, expectedDrive] :
         {std::tuple{"StoredLabelChanged", "%m [OLD]", "%m/music", Volume::Ready, "%m/music", "%s"},
          {"FirstStart", nullptr, nullptr, Volume::Ready, "%p", "%h"},
          {"StoredFolderGone", "%h", "%h/gone", Volume::Ready, "%p", "%h"},
          {"StoredDriveNotReady", "%s", "%m/music", Volume::NotReady, "%p", "%h"},
          {"StoredDriveUnplugged", "%s", "%m/music", Volume::Unplugged, "%p", "%h"}}) {
        SCOPED_TRACE(label);
        MainWindowFixture m(MainWindowFixture::Real{}, {}, false);
        auto expand = [&](QString s) {
            for (auto [k, v] : {std::pair{"%s", m.Stick()}, {"%h", m.home}, {"%m", m.mnt}, {"%p", m.prog}})
                s.replace(k, v);
            return s;
        };
        if (drive) zv::SaveSetting(u"Zorvik", u"Setting", u"DRIVE", expand(drive).toStdU16String());
        if (path) zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", expand(path).toStdU16String());
        if (stick == Volume::Unplugged) m.Unmount(true);
        m.Open(m.prog);
        // Listed as a drive, but it cannot be read when the lists go to it.
        if (stick == Volume::NotReady) m.volumes[1].ready = false;
        m.window->Form_Load(m.prog);
        const QString folder = expand(expectedFolder), shown = expand(expectedDrive);
        for (zv::DriveListBox* list : {m.window->F_Drive, m.window->A_Drive}) EXPECT_EQ(list->drive(), shown);
        EXPECT_EQ(m.window->F_Dir->path(), folder);
        EXPECT_EQ(m.window->A_Dir->path(), folder);
        EXPECT_EQ(m.window->F_File->path(), folder);
        EXPECT_TRUE(QtMessageBox::Shown().empty());
    }
}

// Whatever the destination was at the end, the source folder is stored: the
// next run opens both sides on it.
TEST(StartFolders, ClosingStoresTheSourceFolderNotTheDestination) {
    MainWindowFixture m(MainWindowFixture::Real{});
    const QString music = m.mnt + "/music";  // the source drive follows
    ASSERT_EQ(m.window->F_Dir->setPath(music), zv::kFsOk);
    ASSERT_EQ(m.window->A_Dir->setPath(m.src), zv::kFsOk);
    m.window->show();
    m.window->close();
    EXPECT_EQ(Stored(u"DRIVE"), m.Stick().toStdU16String());
    EXPECT_EQ(Stored(u"PATH"), music.toStdU16String());
}

// ---- The one-instance lock, in a folder of the test's own ----

// Only a live holder refuses, even one holding for days: not one that ended
// while holding (as a crashed instance would) or one released.
TEST(Startup, InstanceLockRefusesOnlyALiveHolder) {
    enum Holder { LiveButOld, EndedProcess, Released };
    for (const auto& [holder, acquired] :
         {std::pair{LiveButOld, false}, std::pair{EndedProcess, true}, std::pair{Released, true}}) {
        SCOPED_TRACE(holder);
        TempConfigHome home;
        const QString folder = QString::fromStdString(home.Root().string());
        if (holder == EndedProcess) {
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) _exit((new zv::SingleInstance("ZVNUM", folder))->Acquire() ? 0 : 1);
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                        QFile::exists(folder + "/ZVNUM.lock"));
        }
        std::optional<zv::SingleInstance> first;
        if (holder != EndedProcess) {
            ASSERT_TRUE(first.emplace("ZVNUM", folder).Acquire());
        }
        if (holder == Released) first.reset();
        QFile lock(folder + "/ZVNUM.lock");
        if (holder == LiveButOld) {
            ASSERT_TRUE(lock.open(QIODevice::ReadWrite) &&
                        lock.setFileTime(QDateTime::currentDateTime().addDays(-3),
                                         QFileDevice::FileModificationTime));
        }
        EXPECT_EQ(zv::SingleInstance("ZVNUM", folder).Acquire(), acquired);
    }
}

// Watches for the next modal window: records its title and its owner (none
// while no window opened), does `act` to it, then closes it, so a test never
// hangs on it.
struct ModalWatcher {
    explicit ModalWatcher(std::function<void(QWidget*)> act = {}) {
        QObject::connect(&timer, &QTimer::timeout, [this, act] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            timer.stop();
            title = w->windowTitle();
            owner = w->parentWidget();
            if (act) act(w);
            w->close();
        });
        timer.start(10);
    }
    QTimer timer;
    QString title;
    QWidget* owner = nullptr;
};

// ---- Double-click previews and the new-folder dialog ----------------------------
// Which viewer opens for which file, and what the dialog refuses, are the
// viewers' and the dialog's own tests: here, that the window hands them the
// double-clicked file and takes the new folder back into its lists.

TEST(MainWindowDialogs, DoubleClickOpensTheViewerOfTheFileOverTheWindow) {
    MainWindowFixture f(MainWindowFixture::Real{}, {"readme.txt"});  // started as the program starts
    ASSERT_TRUE(f.Show());
    ModalWatcher seen;
    // The only file; a double-click is a click followed by the second press.
    const QPoint at = f.window->F_File->visualRect(f.window->F_File->model()->index(0, 0)).center();
    QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(f.window->F_File->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(QString::fromStdU16String(Valiable::PreviewFilePath), f.src + "/readme.txt");
    EXPECT_TRUE(seen.title.startsWith(QStringLiteral("テキストビュアー( "))) << seen.title.toStdString();
}

TEST(MainWindowDialogs, NewFolderIsMadeBelowTheDestinationAndBothListsRefresh) {
    MainWindowFixture f(MainWindowFixture::Real{}, {});
    ASSERT_TRUE(f.Show());
    ModalWatcher seen([&](QWidget* w) {
        auto* dialog = qobject_cast<zv::dialogs::Frm_Mkdir*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Txt_NewFolder->setText("新規");  // and the destination switches to it, as the dialog offers
        QtMessageBox::PresetAnswers({zv::kOk});
        dialog->Cmd_Make->click();
    });
    f.window->Com_Makefolder->click();
    EXPECT_EQ(seen.owner, f.window.get());
    EXPECT_EQ(f.window->A_Dir->path(), f.src + "/新規");
    // The source list was re-read: the new folder is listed below the source.
    EXPECT_EQ(f.window->F_Dir->findItems("新規", Qt::MatchEndsWith).size(), 1);
}

// ---- About and help ---------------------------------------------------------------

TEST(MainWindowDialogs, AboutBoxOverTheWindowAndHelpBesideTheProgram) {
    MainWindowFixture f(MainWindowFixture::Real{}, {});
    ASSERT_TRUE(f.Show());
    ModalWatcher seen;
    f.window->Cmd_About->click();
    EXPECT_EQ(seen.title, QStringLiteral("Zorvikのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(seen.owner, f.window.get());

    // Help opens beside the program and closes with the window.
    zv::dialogs::QtHelp* help = f.window->Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->ChmPath(), f.prog + "/ZVNUM.chm");
    f.window->Cmd_Help->click();
    ASSERT_NE(help->Window(), nullptr);
    EXPECT_TRUE(help->Window()->isVisible());

    // Ownerless, the help window would keep the program alive after the main window.
    f.window->close();
    EXPECT_EQ(help->Window(), nullptr);
}

// F1 where the focus is: the page of the focused control, else of its
// window, else the contents; Shift+F1 the context help.
TEST(MainWindowDialogs, F1OpensTheHelpOfTheFocusedWindow) {
    struct RecordingHelp final : zv::HelpService {
        int shown = 0;  // -1 contents
        void ShowContents() override { shown = -1; }
        bool ShowTopic(int id) override { return shown = id, true; }
        std::u16string TopicText(int) override { return {}; }
        void Close() override {}
    } help;
    zv::HelpKeys keys;
    keys.SetHelp(&help);
    qApp->installEventFilter(&keys);
    // In the new-folder dialog or the main window; the control focused (""
    // a box without a page of its own), the modifier, the topic shown
    // (0: nothing) and whether context help starts.
    const std::tuple<bool, const char*, Qt::KeyboardModifiers, int, bool> cases[] = {
        {false, "Txt_B_text", Qt::NoModifier, -1, false},
        {true, "Cmd_Make", Qt::NoModifier, zv::dialogs::kHelpMkdirMake, false},
        {true, "", Qt::NoModifier, 80035, false},
        {false, "Txt_B_text", Qt::ShiftModifier, 0, true},
        {false, "Txt_B_text", Qt::ControlModifier, 0, false}};
    for (const auto& [inDialog, control, modifiers, topic, whatsThis] : cases) {
        SCOPED_TRACE(topic);
        help.shown = 0;
        MainWindowFixture f;
        zv::dialogs::Frm_Mkdir dialog(*f.window, f.files, f.messages, nullptr);
        QWidget* window = inDialog ? static_cast<QWidget*>(&dialog) : f.window.get();
        QWidget* focus = *control ? window->findChild<QWidget*>(control) : new QLineEdit(window);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        focus->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1, modifiers);
        EXPECT_EQ(help.shown, topic);
        EXPECT_EQ(QWhatsThis::inWhatsThisMode(), whatsThis);
        QWhatsThis::leaveWhatsThisMode();
    }
    qApp->removeEventFilter(&keys);
}

}  // namespace
