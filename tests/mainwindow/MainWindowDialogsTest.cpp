// The windows the main window opens, on real folders: previews of a
// double-clicked file, the new-folder dialog, the about box and help.

#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "QtPrinters.h"
#include "dialogs/QtHelp.h"
#include "mainwindow/HelpKeys.h"
#include "shared/Valiable.h"

using zv::qt::QtMessageBox;

namespace {

// Watches for the next modal window: records its title and whether the main
// window owns it, does `act` to it, then closes it, so a test never hangs on it.
struct ModalWatcher {
    explicit ModalWatcher(std::function<void(QWidget*)> act = {}) {
        QObject::connect(&timer, &QTimer::timeout, [this, act] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            timer.stop();
            opened = true;
            title = w->windowTitle();
            owner = w->parentWidget();
            if (act) act(w);
            w->close();
        });
        timer.start(10);
    }
    QTimer timer;
    bool opened = false;
    QString title;
    QWidget* owner = nullptr;
};

using zvtest::MainWindowFixture;

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
    const QString target = f.src + "/新規";
    ModalWatcher seen([&](QWidget* w) {
        auto* dialog = qobject_cast<zv::dialogs::Frm_Mkdir*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Txt_NewFolder->setText("新規");  // and the destination switches to it, as the dialog offers
        QtMessageBox::PresetAnswers({zv::kOk});
        dialog->Cmd_Make->click();
    });
    f.window->Com_Makefolder->click();
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.owner, f.window.get());
    EXPECT_EQ(f.window->A_Dir->path(), target);
    // The source list was re-read: the new folder is listed below the source.
    EXPECT_EQ(f.window->F_Dir->findItems("新規", Qt::MatchEndsWith).size(), 1);
}

// ---- About and help ---------------------------------------------------------------

TEST(MainWindowDialogs, AboutBoxOverTheWindowAndHelpBesideTheProgram) {
    MainWindowFixture f(MainWindowFixture::Real{}, {});
    ASSERT_TRUE(f.Show());
    ModalWatcher seen;
    f.window->Cmd_About->click();
    ASSERT_TRUE(seen.opened);
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
