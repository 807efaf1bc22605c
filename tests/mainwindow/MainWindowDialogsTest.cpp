// The windows the main window opens, on real folders: previews of a
// double-clicked file, the new-folder dialog, the about box and help.

#include <gtest/gtest.h>

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <QWhatsThis>
#include <algorithm>

#include "MainWindowFixture.h"
#include "QtPrinters.h"
#include "dialogs/Frm_Mkdir.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/QtHelp.h"
#include "mainwindow/HelpKeys.h"
#include "shared/Valiable.h"

using zv::qt::QtMessageBox;

namespace {

// Watches for the next modal window: records its title, whether the main
// window owns it and whether it was still open after `act`, then closes it,
// so a test never hangs on it.
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
            openAfterAct = w->isVisible();
            w->close();
        });
        timer.start(10);
    }
    QTimer timer;
    bool opened = false, openAfterAct = false;
    QString title;
    QWidget* owner = nullptr;
};

// The main window as the program starts it over real folders.
struct RealFolders : zvtest::MainWindowFixture {
    RealFolders() : MainWindowFixture(Real{}, {}) {}
    void DoubleClick(const QString& name) {
        const int row = Rows().indexOf(name);
        ASSERT_GE(row, 0) << name.toStdString();
        const QModelIndex index = window->F_File->model()->index(row, 0);
        window->F_File->scrollTo(index);
        const QPoint at = window->F_File->visualRect(index).center();
        // A double-click is a click followed by the second press.
        QTest::mouseClick(window->F_File->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(window->F_File->viewport(), Qt::LeftButton, {}, at);
    }
};

// ---- Double-click previews --------------------------------------------------

struct PreviewCase {
    const char* name;
    QByteArray content;  // empty: a small picture is written instead
    const char* title;   // of the modal window opened; null: none opens
    const char16_t* message;
};

void PrintTo(const PreviewCase& c, std::ostream* os) { *os << c.name; }

class DoubleClickPreview : public testing::TestWithParam<PreviewCase> {};

TEST_P(DoubleClickPreview, OpensTheViewerOfTheExtension) {
    const PreviewCase& c = GetParam();
    RealFolders f;
    if (c.content.isEmpty()) {
        QImage picture(4, 3, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(f.src + "/" + c.name, "BMP"));
    } else {
        ASSERT_TRUE(f.Write(f.src + "/" + c.name, c.content));
    }
    f.window->Cmd_Newfile->click();
    ASSERT_TRUE(f.Show());
    ModalWatcher seen;
    f.DoubleClick(c.name);
    if (!c.title) QTest::qWait(100);  // give a wrongly opened window the chance to show

    EXPECT_EQ(QString::fromStdU16String(Valiable::PreviewFilePath), f.src + "/" + c.name);
    EXPECT_EQ(seen.opened, c.title != nullptr);
    if (c.title) EXPECT_TRUE(seen.title.startsWith(QString::fromUtf8(c.title))) << seen.title.toStdString();
    std::vector<std::u16string> prompts;
    for (const auto& m : QtMessageBox::Shown()) prompts.push_back(m.prompt);
    EXPECT_EQ(prompts, c.message ? std::vector<std::u16string>{c.message} : std::vector<std::u16string>{});
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, DoubleClickPreview,
    testing::Values(PreviewCase{"readme.txt", "hello", "テキストビュアー( ", nullptr},
                    PreviewCase{"memo.Rtf", "{\\rtf1 hello}", "テキストビュアー( ", nullptr},
                    PreviewCase{"photo.bmp", "", "イメージビュアー", nullptr},
                    PreviewCase{"song.mid", "not a MIDI file", "MIDI プレイヤー", u"正常に再生できません"},
                    PreviewCase{"broken.wav", "not a WAV file", nullptr, u"正常に再生できません"},
                    PreviewCase{"photo.jpeg", "x", nullptr, nullptr},
                    PreviewCase{"noextension", "x", nullptr, nullptr}),
    [](const auto& info) { return QString(info.param.name).replace('.', '_').toStdString(); });

// ---- New folder --------------------------------------------------------------

struct MkdirCase {
    const char* label;
    QString name;
    bool switchToIt;
    bool created;           // the folder is made (and the dialog closes)
    bool destinationMoves;  // A_Dir goes to the new folder
};

void PrintTo(const MkdirCase& c, std::ostream* os) { *os << c.label; }

class NewFolderButton : public testing::TestWithParam<MkdirCase> {};

TEST_P(NewFolderButton, CreatesBelowTheDestinationAndRefreshesBothLists) {
    const MkdirCase& c = GetParam();
    RealFolders f;
    ASSERT_TRUE(f.Show());
    const QString target = f.src + "/" + c.name;
    const bool existedBefore = QDir(target).exists();
    ModalWatcher seen([&](QWidget* w) {
        auto* dialog = qobject_cast<zv::dialogs::Frm_Mkdir*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->Txt_NewFolder->setText(c.name);
        dialog->Chk_Cd_Nowfolder->setChecked(c.switchToIt);
        QtMessageBox::PresetAnswers({zv::kOk});
        dialog->Cmd_Make->click();
    });
    f.window->Com_Makefolder->click();

    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.owner, f.window.get());
    EXPECT_EQ(seen.openAfterAct, !c.created);
    EXPECT_EQ(QDir(target).exists(), c.created || existedBefore);
    EXPECT_EQ(f.window->A_Dir->path(), c.destinationMoves ? target : f.src);
    // The source list was re-read: a new folder is listed below the source.
    QStringList folders;
    for (int i = 0; i < f.window->F_Dir->listCount(); ++i) folders << f.window->F_Dir->rowPath(i);
    EXPECT_EQ(folders.contains(target), c.created || existedBefore);
    // Copy and move are on exactly when the destination left the source.
    EXPECT_EQ(f.window->Opt_Cpymov[0]->isEnabled(), c.destinationMoves);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, NewFolderButton,
                         testing::Values(MkdirCase{"SwitchesDestination", "新規", true, true, true},
                                         MkdirCase{"KeepsDestination", "新規", false, true, false},
                                         MkdirCase{"ExistingNameKeepsDialog", "sub", true, false, false},
                                         MkdirCase{"MissingParentKeepsDialog", "no/such", true, false,
                                                   false}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- About and help ---------------------------------------------------------------

TEST(MainWindowDialogs, AboutButtonOpensTheAboutBoxOverTheWindow) {
    RealFolders f;
    ASSERT_TRUE(f.Show());
    ModalWatcher seen([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    f.window->Cmd_About->click();
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.title, QStringLiteral("Zorvikのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(seen.owner, f.window.get());
    EXPECT_FALSE(seen.openAfterAct);  // Esc closed it
}

TEST(MainWindowDialogs, HelpOpensBesideTheProgramAndClosesWithTheWindow) {
    RealFolders f;
    ASSERT_TRUE(f.Show());
    zv::dialogs::QtHelp* help = f.window->Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->ChmPath(), f.prog + "/ZVNUM.chm");
    f.window->Cmd_Help->click();
    ASSERT_NE(help->Window(), nullptr);
    EXPECT_TRUE(help->Window()->isVisible());
    // No help file here: the help window says so, no message box.
    EXPECT_TRUE(QtMessageBox::Shown().empty());

    // Ownerless, the help window would keep the program alive after the main window.
    f.window->close();
    EXPECT_EQ(help->Window(), nullptr);
    const QWidgetList left = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::none_of(left.cbegin(), left.cend(), [](QWidget* w) { return w->isVisible(); }));
}

// F1 where the focus is: the page of the focused control, else of its
// window, else the contents; Shift+F1 the context help.
struct F1Case {
    const char* label;
    bool inDialog;        // the new-folder dialog, else the main window
    const char* control;  // focused; "": a box without a page of its own
    Qt::KeyboardModifiers modifiers;
    int shownTopic;  // -1 contents, 0 nothing shown
    bool whatsThis;
};

class F1Key : public testing::TestWithParam<F1Case> {};

TEST_P(F1Key, OpensTheHelpOfTheFocusedWindow) {
    const F1Case& c = GetParam();
    struct RecordingHelp final : zv::HelpService {
        int shown = 0;
        void ShowContents() override { shown = -1; }
        bool ShowTopic(int id) override { return shown = id, true; }
        std::u16string TopicText(int) override { return {}; }
        void Close() override {}
    } help;
    zv::HelpKeys keys;
    keys.SetHelp(&help);
    qApp->installEventFilter(&keys);
    zvtest::MainWindowFixture f;
    zv::dialogs::Frm_Mkdir dialog(*f.window, f.files, f.messages, nullptr);
    QWidget* window = c.inDialog ? static_cast<QWidget*>(&dialog) : f.window.get();
    QWidget* focus = *c.control ? window->findChild<QWidget*>(c.control) : new QLineEdit(window);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    focus->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1, c.modifiers);
    EXPECT_EQ(help.shown, c.shownTopic);
    EXPECT_EQ(QWhatsThis::inWhatsThisMode(), c.whatsThis);
    QWhatsThis::leaveWhatsThisMode();
    qApp->removeEventFilter(&keys);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, F1Key,
    testing::Values(F1Case{"main_window_contents", false, "Txt_B_text", Qt::NoModifier, -1, false},
                    F1Case{"control_topic", true, "Cmd_Make", Qt::NoModifier, zv::dialogs::kHelpMkdirMake, false},
                    F1Case{"dialog_page", true, "", Qt::NoModifier, 80035, false},
                    F1Case{"shift_context_help", false, "Txt_B_text", Qt::ShiftModifier, 0, true},
                    F1Case{"ctrl_does_nothing", false, "Txt_B_text", Qt::ControlModifier, 0, false}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
