// The main window with the keyboard alone, and as a screen reader meets it.

#include <QAccessible>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"

using zvtest::MainWindowFixture;

namespace {

QWidget* Focused() { return QApplication::focusWidget(); }

// The control that has the focus, by name: an editable combo box's own box
// counts as the combo box.
QString FocusedName() {
    QWidget* w = Focused();
    if (w && w->objectName().isEmpty() && qobject_cast<QComboBox*>(w->parentWidget())) w = w->parentWidget();
    return w ? w->objectName() : QString();
}

void Press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, mods);
}

// Tabs until the control has the focus; false if it is never reached.
bool TabTo(QWidget* control) {
    for (int i = 0; i < 60 && Focused() != control; ++i) Press(Qt::Key_Tab);
    return Focused() == control;
}

void ShowActive(MainWindowFixture& f) {
    f.window->show();
    QApplication::setActiveWindow(f.window.get());
    QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
}

// Every interface below `iface`.
void Walk(QAccessibleInterface* iface, QList<QAccessibleInterface*>& all) {
    for (int i = 0; i < iface->childCount(); ++i) {
        if (QAccessibleInterface* child = iface->child(i)) {
            all << child;
            Walk(child, all);
        }
    }
}

}  // namespace

class tst_Frm_Main_Keyboard : public QObject {
    Q_OBJECT
  private slots:
    void tabGoesDownEachColumn() {
        MainWindowFixture f;
        // Everything that can be switched off is on, so every stop counts.
        f.Select({0});
        f.window->Chk_DateLock->setChecked(true);
        f.window->Chk_Attrib->setChecked(true);
        for (QRadioButton* o : f.window->Opt_Cpymov) o->setEnabled(true);
        ShowActive(f);
        f.window->F_Drive->setFocus();
        QStringList visited;
        do {
            visited << FocusedName();
            Press(Qt::Key_Tab);
        } while (Focused() != f.window->F_Drive && visited.size() < 100);
        const QStringList expected{
            "F_Drive",        "F_Dir",         "Cmb_Filter",     "Cmd_Newfile",    "F_File",
            "Cmd_AllSelect",  "Cmd_OddSelect", "Cmd_EvenSelect", "Cmd_AllDelete",  "Chk_syori(0)",
            "Chk_syori(1)",   "Txt_B_text",    "Txt_A_text",     "Chk_keta_lock",  "Opt_Han",
            "UpDown_Keta",    "UpDown_Zoubun", "Txt_Startnum",   "Chk_DateLock",   "Cmd_Now",
            "Txt_YY",         "Txt_MM",        "Txt_DD",         "Txt_H",          "Txt_M",
            "Txt_S",          "Chk_Attrib",    "Chk_Att_Set(0)", "Chk_Att_Set(1)", "Chk_Att_Set(2)",
            "Chk_Att_Set(3)", "A_Drive",       "Com_Makefolder", "A_Dir",          "Opt_Cpymov(0)",
            "Cmd_Test",       "Lst_Kekka",     "Cmd_About",      "Cmd_Help",       "Cmd_Run"};
        QCOMPARE(visited, expected);
    }

    // A screen reader tells the controls apart by their names: every control
    // that can take the focus has one, and no two share it.
    void everyFocusableControlHasItsOwnName() {
        MainWindowFixture f;
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(f.window.get());
        QVERIFY(root);
        QCOMPARE(root->role(), QAccessible::Window);
        QList<QAccessibleInterface*> all;
        Walk(root, all);
        QHash<QString, QString> owner;  // name -> control
        int checked = 0;
        for (QAccessibleInterface* iface : all) {
            auto* w = qobject_cast<QWidget*>(iface->object());
            // Pop-up lists belong to windows of their own; a part that hands
            // its focus on (the box of an editable combo box) is never a stop.
            if (!w || w->window() != f.window.get() || !iface->state().focusable || w->focusProxy()) continue;
            ++checked;
            const QString name = iface->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(w->objectName() + " has no name"));
            QVERIFY2(!owner.contains(name), qPrintable(QStringLiteral("%1 and %2 are both called %3")
                                                           .arg(owner.value(name), w->objectName(), name)));
            owner.insert(name, w->objectName());
        }
        QVERIFY(checked >= 40);
    }

    void stepperAnnouncesWhatItCounts() {
        MainWindowFixture f;
        QAccessibleInterface* keta = QAccessible::queryAccessibleInterface(f.window->UpDown_Keta);
        QCOMPARE(keta->role(), QAccessible::SpinBox);
        QCOMPARE(keta->text(QAccessible::Name), QStringLiteral("桁数"));
        QTest::keyClick(f.window->UpDown_Keta, Qt::Key_Up);
        QCOMPARE(keta->text(QAccessible::Value), QStringLiteral("2"));
        QCOMPARE(keta->valueInterface()->currentValue().toInt(), 2);
        QAccessibleInterface* step = QAccessible::queryAccessibleInterface(f.window->UpDown_Zoubun);
        QTest::keyClick(f.window->UpDown_Zoubun, Qt::Key_Down);
        QCOMPARE(step->text(QAccessible::Value), QStringLiteral("-1"));
        QCOMPARE(step->valueInterface()->minimumValue().toInt(), -100);
    }

    // Pick a folder by typing its name, select its files, set the digit count
    // and the increment, test, start and answer the question: keys only.
    void wholeJobByKeyboard() {
        MainWindowFixture f;
        f.files.folders[u"/data/photos"] = {u"p.jpg"};
        f.files.folders[u"/data/tmp"] = {u"x1.jpg", u"x2.jpg", u"x3.jpg"};
        f.window->F_Dir->refresh();
        ShowActive(f);
        f.window->F_Drive->setFocus();

        QVERIFY(TabTo(f.window->F_Dir));
        Press(Qt::Key_T);  // the row shows "    tmp"; the name is what counts
        QCOMPARE(f.window->F_Dir->currentItem()->data(zv::DirListBox::kPathRole).toString(),
                 QStringLiteral("/data/tmp"));
        Press(Qt::Key_Return);
        QCOMPARE(f.window->F_File->listCount(), 3);

        QVERIFY(TabTo(f.window->F_File));
        Press(Qt::Key_A, Qt::ControlModifier);
        QVERIFY(f.window->Cmd_Test->isEnabled());

        QVERIFY(TabTo(f.window->UpDown_Keta));
        Press(Qt::Key_Up);
        Press(Qt::Key_Up);
        QVERIFY(TabTo(f.window->UpDown_Zoubun));
        Press(Qt::Key_Plus);
        QCOMPARE(f.window->Lbl_keta->text(), QStringLiteral("3"));
        QCOMPARE(f.window->Lbl_up->text(), QStringLiteral("2"));

        Press(Qt::Key_T, Qt::AltModifier);  // a mnemonic clicks once its button has shown the press
        QTRY_COMPARE(f.window->Lst_Kekka->count(), 3);
        QStringList results;
        for (int i = 0; i < f.window->Lst_Kekka->count(); ++i)
            results << f.window->Lst_Kekka->item(i)->text();
        QCOMPARE(results, (QStringList{"001.jpg", "003.jpg", "005.jpg"}));

        // The question is a real box, answered with Escape: no.
        zv::qt::QtMessageBox::SetAnswering(false);
        QString asked;
        QTimer answer;
        connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            answer.stop();
            asked = box->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        answer.start(20);
        Press(Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(!asked.isEmpty());
        QCOMPARE(asked, QStringLiteral("変換処理を開始しますか？"));
        QCOMPARE(f.window->F_File->listCount(), 3);
        QCOMPARE(f.window->F_File->list(0), QStringLiteral("x1.jpg"));
    }
};

QTEST_MAIN(tst_Frm_Main_Keyboard)
#include "tst_Frm_Main_Keyboard.moc"
