// The main window driven through its widgets: its layout, the mode switch,
// the steppers and the number boxes, test runs, the keyboard alone as a
// screen reader meets it, and the file selection panel on real folders.

#include <gtest/gtest.h>

#include <cstdio>

#include "MainWindowFixture.h"
#include "QtPrinters.h"

using zv::qt::QtMessageBox;
using zvtest::MainWindowFixture;

namespace {

// One key of a typed sequence: a key code plus the text it makes.
struct Key {
    Qt::Key key;
    QString text;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};
QList<Key> Chars(const char* s) {
    QList<Key> keys;
    for (; *s; ++s) keys << Key{Qt::Key(QChar(*s).toUpper().unicode()), QString(QChar(*s))};
    return keys;
}

QWidget* Focused() { return QApplication::focusWidget(); }
void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, mods);
}
// Tabs until the control has the focus; false if it is never reached.
bool TabTo(QWidget* control) {
    for (int i = 0; i < 60 && Focused() != control; ++i) Press(Qt::Key_Tab);
    return Focused() == control;
}
// Typed as the user types: to whichever widget has the keyboard focus.
void TypePattern(MainWindowFixture& f, const QString& text) {
    if (!f.window->isActiveWindow()) f.Show();
    f.window->Cmb_Filter->setFocus();
    f.window->Cmb_Filter->lineEdit()->clear();
    QTest::keyClicks(Focused(), text);
    QTest::keyClick(Focused(), Qt::Key_Return);
}

enum How { Keys, Commit, Paste };
QList<Key> Text(const QString& s) { return {Key{Qt::Key_unknown, s}}; }
struct InputRow {
    std::string name;
    QString box, before;
    How how;
    QList<Key> keys;  // a commit or paste: the text of the first
    QString after;
    int beeps;
};

// What a stepper test does: a key, or one of these.
enum { kUpArrow = -1, kDownArrow = -2, kDoubleClick = -3, kLock = -4 };
struct StepRow {
    const char* name;
    bool increment;  // else the digit count
    QString start;
    QList<int> actions;
    QString shown;
};
// The box clicked (-1: box 1 checked and unchecked again), the Ctrl+clicks on
// the second file, then what shows.
struct ModeRow {
    const char* name;
    int box, fileClicks;
    bool groupVisible, box0Enabled, box1Enabled;
    QString label2, label3, guidance;
};

// ---- As it opens ----

TEST(Frm_Main, EveryControlInsideTheFixedClientArea) {
    MainWindowFixture f;
    EXPECT_EQ(f.window->minimumSize(), f.window->maximumSize());
    for (QWidget* w : f.window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(w->isWindow() || f.window->rect().contains(w->geometry())) << qPrintable(w->objectName());
    for (QGroupBox* frame : f.window->findChildren<QGroupBox*>())
        for (QWidget* w : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(frame->rect().contains(w->geometry())) << qPrintable(w->objectName());
}

// ---- Processing mode ----

TEST(Frm_Main, SwitchMode) {
    const QString tail =
        QStringLiteral("、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）");
    const QString front = "固定文字列（前半部）", back = "固定文字列（後半部）",
                  none = "ファイルを選択して下さい。";
    for (const ModeRow& row :
         {ModeRow{"append, file", 0, 1, false, true, false, front, back, "固定文字列を設定して" + tail},
          ModeRow{"replace, file picked and unpicked", 1, 2, false, false, true, "検索文字列", "置換文字列",
                  none},
          ModeRow{"replace, file", 1, 1, false, false, true, "検索文字列", "置換文字列",
                  "検索文字列を設定して" + tail},
          ModeRow{"back to numbering", -1, 1, true, true, true, front, back, "連番を設定して" + tail}}) {
        SCOPED_TRACE(row.name);
        MainWindowFixture f;
        ASSERT_TRUE(f.Show());
        f.window->Opt_Zen->setChecked(true);
        const QRect cell = f.window->F_File->visualRect(f.window->F_File->model()->index(1, 0));
        for (int i = 0; i < row.fileClicks; ++i)
            QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              cell.center());
        auto* clicked = f.window->Chk_syori[row.box < 0 ? 1 : row.box];
        for (int i = row.box < 0 ? 2 : 1; i > 0; --i)
            QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(8, clicked->height() / 2));
        for (const char* name : {"Label4", "Label5", "Label6", "Lbl_keta", "Lbl_up", "Txt_Startnum",
                                 "UpDown_Keta", "UpDown_Zoubun", "Chk_keta_lock", "Opt_Han", "Opt_Zen"})
            EXPECT_EQ(f.window->IsVisible(name), row.groupVisible) << name;
        EXPECT_EQ(f.window->Label2->text(), row.label2);
        EXPECT_EQ(f.window->Label3->text(), row.label3);
        EXPECT_EQ(f.window->Chk_syori[0]->isEnabled(), row.box0Enabled);
        EXPECT_EQ(f.window->Chk_syori[1]->isEnabled(), row.box1Enabled);
        EXPECT_EQ(f.window->Lbl_Msgdsp->text(), row.guidance);
        EXPECT_EQ(f.window->Value("Opt_Zen"), -1);
        EXPECT_EQ(f.window->Value("Opt_Han"), 0);
    }
}

// ---- Steppers ----

// The increment wraps from 100 to -100 and skips 0; double-click or Home
// set it back to 1. The digit count stops at 1 and 10; its lock greys it
// without changing it. By the arrows and by keys (both steppers take keys
// through one control, so the keys are tried on the increment).
TEST(Frm_Main, Steppers) {
    const int up = kUpArrow, down = kDownArrow;
    for (const StepRow& row :
         {StepRow{"up from -1 skips 0", true, "-1", {up}, "1"},
          StepRow{"down from -100 wraps", true, "-100", {down}, "100"},
          StepRow{"Up and + keys wrap at 100", true, "99", {Qt::Key_Up, Qt::Key_Plus}, "-100"},
          StepRow{"Down and - keys skip 0", true, "2", {Qt::Key_Down, Qt::Key_Minus}, "-1"},
          StepRow{"double-click resets", true, "1", {down, down, kDoubleClick}, "1"},
          StepRow{"Home resets", true, "-5", {Qt::Key_Home}, "1"},
          StepRow{"one below the top", false, "", QList<int>(15, up) << down, "9"},
          StepRow{"digits stop at 1", false, "", {down, down}, "1"},
          StepRow{"locked: arrow and key do nothing", false, "", {up, kLock, up, Qt::Key_Up}, "2"},
          StepRow{"unlocked keeps the count", false, "", {up, up, kLock, kLock}, "3"}}) {
        SCOPED_TRACE(row.name);
        MainWindowFixture f;
        ASSERT_TRUE(!row.actions.contains(kDoubleClick) || f.Show());  // a double-click needs the screen
        zv::UpDownControl* stepper = row.increment ? f.window->UpDown_Zoubun : f.window->UpDown_Keta;
        QLabel* label = row.increment ? f.window->Lbl_up : f.window->Lbl_keta;
        if (row.increment) label->setText(row.start);
        const bool locked = row.actions.count(kLock) % 2;
        for (int action : row.actions) {
            if (action == kUpArrow || action == kDownArrow)
                (action == kUpArrow ? stepper->UpButton() : stepper->DownButton())->click();
            else if (action == kDoubleClick)
                QTest::mouseDClick(label, Qt::LeftButton);
            else if (action == kLock)
                f.window->Chk_keta_lock->click();
            else
                QTest::keyClick(stepper, Qt::Key(action));
        }
        const QString name = row.increment ? "増分" : "桁数";
        EXPECT_EQ(label->text(), row.shown);
        EXPECT_EQ(label->accessibleName(), name + " " + row.shown);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(stepper);
        EXPECT_EQ(iface->text(QAccessible::Name), name);
        EXPECT_EQ(iface->text(QAccessible::Value), row.shown);
        EXPECT_EQ((QList<bool>{stepper->isEnabled(), label->isEnabled()}), QList<bool>(2, !locked));
    }
}

// ---- Number boxes ----

// Typed keys, an input method's commit and a paste meet one filter in the
// number boxes; the free texts take any text as it is.
TEST(Frm_Main, Input) {
    const Key enter{Qt::Key_Return, "\r"}, backspace{Qt::Key_Backspace, "\b"}, del{Qt::Key_Delete, {}},
        home{Qt::Key_Home, {}}, left{Qt::Key_Left, {}};
    const QList<Key> ctrlVX{{Qt::Key_V, "\x16", Qt::ControlModifier},
                            {Qt::Key_X, "\x18", Qt::ControlModifier}};
    QList<InputRow> rows{
        InputRow{"digits and a letter", "Txt_Startnum", "", Keys, Chars("12a3"), "123", 1},
        InputRow{"enter beeps", "Txt_Startnum", "5", Keys, {enter}, "5", 1},
        InputRow{"minus beeps", "Txt_Startnum", "", Keys, Chars("-7"), "7", 1},
        InputRow{"eleventh digit", "Txt_Startnum", "", Keys, Chars("12345678901"), "1234567890", 0},
        InputRow{"backspace deletes", "Txt_Startnum", "", Keys, Chars("123") << backspace, "12", 0},
        InputRow{"delete and arrows silent", "Txt_Startnum", "", Keys, Chars("123") << home << del << left,
                 "23", 0},
        InputRow{"month takes two", "Txt_MM", "", Keys, Chars("1x23"), "12", 1},
        InputRow{"ctrl+v and ctrl+x refused", "Txt_Startnum", "1", Keys, ctrlVX, "1", 2},
        InputRow{"digit and kana together", "Txt_DD", "5", Commit, Text("7に"), "5", 1},
        InputRow{"committed digits land", "Txt_Startnum", "5", Commit, Text("123"), "123", 0},
        InputRow{"pasted letters", "Txt_Startnum", "5", Paste, Text("12a"), "5", 1},
        InputRow{"front text takes kana", "Txt_B_text", "5", Commit, Text("写真"), "写真", 0},
        InputRow{"back text takes full-width", "Txt_A_text", "5", Commit, Text("１２"), "１２", 0}};
    for (const char* box : {"Txt_Startnum", "Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"})
        rows << InputRow{std::string(box) + " full-width digits", box, "5", Commit, Text("１２"), "5", 1};
    for (const InputRow& row : rows) {
        SCOPED_TRACE(row.name);
        MainWindowFixture f;
        f.window->Chk_DateLock->setChecked(true);
        auto* edit = f.window->findChild<QLineEdit*>(row.box);
        edit->setText(row.before);
        edit->selectAll();  // as a user is about to type over it
        // The platform's input method asks only this before it composes.
        EXPECT_EQ(edit->inputMethodQuery(Qt::ImEnabled).toBool(), row.box.endsWith("_text"));
        QApplication::clipboard()->setText(row.how == Paste ? row.keys[0].text : "99");
        if (row.how == Paste) edit->paste();
        QInputMethodEvent composing(row.keys[0].text, {}), commit;
        commit.setCommitString(row.keys[0].text);
        if (row.how == Commit)
            for (QInputMethodEvent* e : {&composing, &commit}) QApplication::sendEvent(edit, e);
        for (const Key& k : row.how == Keys ? row.keys : QList<Key>{})
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
                QKeyEvent event(type, k.key, k.mods, k.text);
                QApplication::sendEvent(edit, &event);
            }
        EXPECT_EQ(edit->text(), row.after);
        EXPECT_EQ(f.beeps, row.beeps);
    }
}

TEST(Frm_Main, NowFillsFromTheClock) {
    MainWindowFixture f;
    f.clock = zv::FixedClock({2025, 12, 31, 23, 59, 58});  // later than the window's start
    f.window->Chk_DateLock->click();
    f.window->Cmd_Now->click();
    QStringList shown;
    for (const char* box : {"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"})
        shown << f.window->findChild<QLineEdit*>(box)->text();
    EXPECT_EQ(shown, (QStringList{"2025", "12", "31", "23", "59", "58"}));
}

// ---- Test runs ----

// A test run shows the new names in place of the last run's. Input
// arriving while the run pumps events must not reach the controls (the
// engine reads the texts file by file), and a close waits for its end.
// The run buttons are off while the run works and on again afterwards.
TEST(Frm_Main, Runs) {
    MainWindowFixture f;
    ASSERT_TRUE(f.Show());
    f.Select({0, 2});
    f.window->Cmd_Test->click();  // a first run, so there is something to replace
    f.window->Txt_B_text->setText("p");
    bool stillOpen = true;
    f.pump.during = [&] {
        QTest::keyClick(f.window->Txt_B_text, Qt::Key_X);
        QTest::mouseClick(f.window->Chk_syori[0], Qt::LeftButton, {},
                          QPoint(8, f.window->Chk_syori[0]->height() / 2));
        f.window->close();  // as Alt+F4 does
        stillOpen = stillOpen && f.window->isVisible();
    };
    f.window->Cmd_Test->click();
    f.pump.during = {};
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(f.window->Txt_B_text->text(), "p");
    EXPECT_EQ(f.window->Value("Chk_syori(0)"), 0);
    EXPECT_EQ(f.Results(), (QStringList{"p1.txt", "p2.txt"}));
    EXPECT_TRUE(f.Ready());
    EXPECT_EQ(f.pump.callsWithRunButtonsOn, 0);
    // The close made while the run pumped (so the pump was called) is carried out after it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.window->isVisible(); }));
}

// ---- Keyboard and screen reader ----

TEST(Frm_Main, TabGoesDownEachColumn) {
    MainWindowFixture f;
    // Everything that can be switched off is on, so every stop counts.
    f.Select({0});
    f.window->Chk_DateLock->setChecked(true);
    f.window->Chk_Attrib->setChecked(true);
    for (QRadioButton* o : f.window->Opt_Cpymov) o->setEnabled(true);
    ASSERT_TRUE(f.Show());
    f.window->F_Drive->setFocus();
    QStringList visited;
    do {
        // An editable combo box's own box counts as the combo box.
        QWidget* w = Focused();
        if (w->objectName().isEmpty() && qobject_cast<QComboBox*>(w->parentWidget())) w = w->parentWidget();
        visited << w->objectName();
        Press(Qt::Key_Tab);
    } while (Focused() != f.window->F_Drive && visited.size() < 100);
    EXPECT_EQ(visited.join(' '),
              "F_Drive F_Dir Cmb_Filter Cmd_Newfile F_File Cmd_AllSelect Cmd_OddSelect Cmd_EvenSelect "
              "Cmd_AllDelete Chk_syori(0) Chk_syori(1) Txt_B_text Txt_A_text Chk_keta_lock Opt_Han "
              "UpDown_Keta UpDown_Zoubun Txt_Startnum Chk_DateLock Cmd_Now Txt_YY Txt_MM Txt_DD Txt_H Txt_M "
              "Txt_S Chk_Attrib Chk_Att_Set(0) Chk_Att_Set(1) Chk_Att_Set(2) Chk_Att_Set(3) A_Drive "
              "Com_Makefolder A_Dir Opt_Cpymov(0) Cmd_Test Lst_Kekka Cmd_About Cmd_Help Cmd_Run");
}

// A screen reader tells the controls apart by their names: every control
// that can take the focus has one, and no two share it.
TEST(Frm_Main, EveryFocusableControlHasItsOwnName) {
    MainWindowFixture f;
    QList<QAccessibleInterface*> all{QAccessible::queryAccessibleInterface(f.window.get())};
    for (int i = 0; i < all.size(); ++i)
        for (int c = 0; c < all[i]->childCount(); ++c)
            if (QAccessibleInterface* child = all[i]->child(c)) all << child;
    QHash<QString, QString> owner;  // name -> control
    for (QAccessibleInterface* iface : all) {
        auto* w = qobject_cast<QWidget*>(iface->object());
        // Pop-up lists belong to windows of their own; a part that hands
        // its focus on (the box of an editable combo box) is never a stop.
        if (!w || w->window() != f.window.get() || !iface->state().focusable || w->focusProxy()) continue;
        const QString name = iface->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << qPrintable(w->objectName() + " has no name");
        EXPECT_FALSE(owner.contains(name))
            << qPrintable(owner.value(name) + " and " + w->objectName() + ": " + name);
        owner.insert(name, w->objectName());
    }
    EXPECT_GE(owner.size(), 40);
}

// Pick a folder by typing its name, select its files, set the digit count
// and the increment, test, start and answer the question: keys only.
TEST(Frm_Main, WholeJobByKeyboard) {
    MainWindowFixture f;
    f.files.Put(u"/data/tmp", {u"x1.jpg", u"x2.jpg", u"x3.jpg"});
    f.window->F_Dir->refresh();
    ASSERT_TRUE(f.Show());
    f.window->F_Drive->setFocus();
    ASSERT_TRUE(TabTo(f.window->F_Dir));
    Press(Qt::Key_T);  // the row shows "    tmp"; the name is what counts
    Press(Qt::Key_Return);
    ASSERT_TRUE(TabTo(f.window->F_File));
    Press(Qt::Key_A, Qt::ControlModifier);
    ASSERT_TRUE(TabTo(f.window->UpDown_Keta));
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Up}) Press(k);
    ASSERT_TRUE(TabTo(f.window->UpDown_Zoubun));
    Press(Qt::Key_Plus);
    Press(Qt::Key_T, Qt::AltModifier);  // a mnemonic clicks once its button has shown the press
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Results().isEmpty(); }));
    EXPECT_EQ(f.Results(), (QStringList{"001.jpg", "003.jpg", "005.jpg"}));

    QtMessageBox::PresetAnswers({zv::kNo});
    Press(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([] { return QtMessageBox::Shown().size() == 1u; }));
}

// ---- File selection panel, on real folders ----

TEST(Frm_Main, SelectionButtons) {
    // The files listed, the rows the user selected first, the button, the rows selected.
    for (const auto& [files, before, button, after] :
         {std::tuple{5, QList<int>{1}, "Cmd_OddSelect", QList<int>{0, 2, 4}},
          {4, {}, "Cmd_EvenSelect", {1, 3}},
          // With one row the even button does nothing at all, not even clear.
          {1, {0}, "Cmd_EvenSelect", {0}},
          {0, {}, "Cmd_AllSelect", {}},
          {5, {0, 3}, "Cmd_AllDelete", {}}}) {
        QStringList names;
        for (int i = 0; i < files; ++i) names << QString("%1.txt").arg(QChar('a' + i));
        MainWindowFixture p(MainWindowFixture::Real{}, names);
        p.Select(before);
        p.Click(button);
        EXPECT_EQ(p.SelectedRows(), after);
        EXPECT_EQ(p.Ready(), !after.isEmpty());
    }
}

// A typed pattern confirmed with Enter is remembered once per exact text
// and leaves the run buttons as they were; one picked from the list
// turns them off.
TEST(Frm_Main, PatternBox) {
    MainWindowFixture p(MainWindowFixture::Real{}, {"a.txt", "B.TXT", "c.wav", "b.MID"});
    p.Click("Cmd_AllSelect");
    const int entries = p.window->Cmb_Filter->count();
    TypePattern(p, "*.txt");
    EXPECT_EQ(p.Rows(), (QStringList{"a.txt", "B.TXT"}));
    EXPECT_TRUE(p.Ready());
    TypePattern(p, "*.txt");
    TypePattern(p, "*.TXT");        // another text, though the same files
    TypePattern(p, "*.TXT;*.RTF");  // already a start-up entry
    EXPECT_EQ(p.window->Cmb_Filter->count(), entries + 2);
    EXPECT_EQ(p.window->Cmb_Filter->itemText(entries), "*.txt");
    EXPECT_EQ(p.window->Cmb_Filter->itemText(entries + 1), "*.TXT");
    p.Click("Cmd_AllSelect");
    p.window->F_File->setFocus();  // leaving the box picks no entry behind the user's back
    EXPECT_TRUE(p.Ready());
    for (int i = 0; i < 9 && p.window->Cmb_Filter->currentText() != "*.WAV;*.MID"; ++i)
        QTest::keyClick(p.window->Cmb_Filter, Qt::Key_Down);
    EXPECT_EQ(p.Rows(), (QStringList{"b.MID", "c.wav"}));
    EXPECT_FALSE(p.Ready());
    EXPECT_EQ(p.window->Lbl_Msgdsp->text(), "ファイルを選択して下さい。");
}

// Copy and move need a destination other than the source, whichever
// list changes; a source folder change also resets the selection state.
TEST(Frm_Main, CopyMoveNeedsAnotherFolder) {
    MainWindowFixture p(MainWindowFixture::Real{});
    p.Click("Cmd_AllSelect");
    EXPECT_EQ(p.window->A_Dir->setPath(p.src + "/sub"), zv::kFsOk);
    EXPECT_TRUE(p.CopyMoveEnabled());
    EXPECT_EQ(p.window->F_Dir->setPath(p.src + "/sub"), zv::kFsOk);
    EXPECT_FALSE(p.CopyMoveEnabled());
    EXPECT_FALSE(p.Ready());
}

TEST(Frm_Main, SourceDriveTakesTheDestinationAlongAndKeepsItsDrive) {
    MainWindowFixture p(MainWindowFixture::Real{});
    EXPECT_EQ(p.window->F_Drive->setDrive(p.Stick()), zv::kFsOk);
    EXPECT_EQ(p.window->F_Dir->path(), p.mnt);
    EXPECT_EQ(p.window->A_Drive->drive(), p.Stick());
    EXPECT_EQ(p.window->A_Dir->path(), p.mnt);
    // The source back on the home drive, the destination on the stick: a
    // stick plugged in moves neither list off its drive.
    EXPECT_EQ(p.window->F_Drive->setDrive(p.home), zv::kFsOk);
    p.window->A_Drive->setDrive(p.Stick());
    // A volume whose mount point sorts before the stick's: rows move.
    p.volumes.insert(p.volumes.begin() + 1, {p.home + "/0stick", "", "vfat", "/dev/sdc1"});
    QDir().mkpath(p.home + "/0stick");
    p.window->F_Drive->refresh();  // as opening the source list's drop-down does
    for (zv::DriveListBox* list : {p.window->F_Drive, p.window->A_Drive}) {
        EXPECT_EQ(list->count(), p.drives->Count());
        EXPECT_EQ(list->currentText(), list->drive());
    }
    EXPECT_EQ(p.window->A_Drive->drive(), p.Stick());
    EXPECT_EQ(p.window->F_Drive->drive(), p.home);
}

TEST(Frm_Main, GoneDriveFallsBackSilently) {
    // The source with its mount point gone; the destination unmounted, its folder left.
    for (bool source : {true, false}) {
        MainWindowFixture p(MainWindowFixture::Real{});
        p.window->A_Dir->setPath(p.src + "/sub");  // the destination elsewhere than the source
        p.Unmount(source);
        // Still listed: picked before the list was read again.
        (source ? p.window->F_Drive : p.window->A_Drive)->setDrive(p.Stick());
        EXPECT_EQ(p.window->F_Drive->drive(), p.home);
        EXPECT_EQ(p.window->A_Drive->drive(), p.home);
        EXPECT_EQ(p.window->F_Dir->path(), p.src);
        EXPECT_EQ(p.window->A_Dir->path(), p.src + "/sub");
        EXPECT_TRUE(QtMessageBox::Shown().empty());
    }
}

TEST(Frm_Main, RefreshShowsNewFilesClearsTheSelectionAndShowsFreeSpace) {
    MainWindowFixture p(MainWindowFixture::Real{}, {"b.txt"});
    p.Click("Cmd_AllSelect");
    p.Write(p.src + "/a.txt");
    QDir().mkpath(p.src + "/newsub");
    p.Click("Cmd_Newfile");
    EXPECT_EQ(p.Rows(), (QStringList{"a.txt", "b.txt"}));
    EXPECT_FALSE(p.Ready());
    EXPECT_EQ(p.window->F_Dir->findItems("newsub", Qt::MatchEndsWith).size(), 1);
    EXPECT_EQ(p.window->A_Drive->toolTip(), "空き容量: 1,500MB");
}

TEST(Frm_Main, TheRunSeesTheRealNameOfABadlyEncodedFile) {
    MainWindowFixture p(MainWindowFixture::Real{}, {});
    const QByteArray raw = QFile::encodeName(p.src) + "/bad\x80.txt";
    FILE* fp = std::fopen(raw.constData(), "w");
    ASSERT_TRUE(fp && std::fclose(fp) == 0);
    p.Click("Cmd_Newfile");
    EXPECT_EQ(p.window->FileCount(), 1);
    EXPECT_EQ(p.window->FileName(0), u"bad\xDC80.txt");
    EXPECT_EQ(p.window->F_File->shownText(0), QString::fromUtf16(u"bad\uFFFD.txt"));
    std::remove(raw.constData());  // beyond what the temporary folder's clean-up can name
}

}  // namespace
