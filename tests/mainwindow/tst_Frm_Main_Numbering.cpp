// The steppers, the digit filter of the number boxes, and the time-stamp and
// attribute switches, driven through the widgets.

#include <QClipboard>
#include <QInputMethodEvent>
#include <QToolButton>

#include "MainWindowFixture.h"

using zvtest::MainWindowFixture;

namespace {

// One key of a typed sequence: a key code plus the text it makes.
struct Key {
    Qt::Key key;
    QString text;
    Qt::KeyboardModifiers mods = Qt::NoModifier;
};

void Type(QWidget* w, const QList<Key>& keys) {
    for (const Key& k : keys) {
        QKeyEvent press(QEvent::KeyPress, k.key, k.mods, k.text);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k.key, k.mods, k.text);
        QApplication::sendEvent(w, &release);
    }
}

Key Char(char c) { return {Qt::Key(QChar(c).toUpper().unicode()), QString(QChar(c))}; }
QList<Key> Chars(const char* s) {
    QList<Key> keys;
    for (; *s; ++s) keys << Char(*s);
    return keys;
}

// The text box by name, enabled, holding `text` all selected, as a user is
// about to type over it.
QLineEdit* SelectedBox(MainWindowFixture& f, const QString& name, const QString& text) {
    f.window->Chk_DateLock->setChecked(true);
    auto* edit = f.window->findChild<QLineEdit*>(name);
    if (edit) {
        edit->setText(text);
        edit->selectAll();
    }
    return edit;
}

}  // namespace

Q_DECLARE_METATYPE(QList<Key>)
Q_DECLARE_METATYPE(QList<Qt::Key>)

class tst_Frm_Main_Numbering : public QObject {
    Q_OBJECT
  private slots:
    void incrementArrows_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("ups");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QList<Qt::Key>>("keys");  // up and down keys; none: the arrows are clicked
        const QList<Qt::Key> arrows{Qt::Key_Up, Qt::Key_Down};
        const QList<Qt::Key> signs{Qt::Key_Plus, Qt::Key_Minus};
        QTest::newRow("up from 100 wraps") << "100" << 1 << 0 << "-100" << QList<Qt::Key>{};
        QTest::newRow("down from -100 wraps") << "-100" << 0 << 1 << "100" << QList<Qt::Key>{};
        QTest::newRow("down from 1 skips 0") << "1" << 0 << 1 << "-1" << QList<Qt::Key>{};
        QTest::newRow("up from -1 skips 0") << "-1" << 1 << 0 << "1" << QList<Qt::Key>{};
        QTest::newRow("Up key wraps at 100") << "99" << 2 << 0 << "-100" << arrows;
        QTest::newRow("Down key skips 0") << "2" << 0 << 2 << "-1" << arrows;
        QTest::newRow("+ key skips 0") << "-1" << 1 << 0 << "1" << signs;
        QTest::newRow("- key wraps at -100") << "-100" << 0 << 1 << "100" << signs;
    }
    void incrementArrows() {
        QFETCH(QString, start);
        QFETCH(int, ups);
        QFETCH(int, downs);
        QFETCH(QString, shown);
        QFETCH(QList<Qt::Key>, keys);
        MainWindowFixture f;
        f.window->Lbl_up->setText(start);
        // The arrows keep stepping after their control's own value stops.
        for (int i = 0; i < ups; ++i) {
            if (keys.isEmpty())
                f.window->UpDown_Zoubun->UpButton()->click();
            else
                QTest::keyClick(f.window->UpDown_Zoubun, keys[0]);
        }
        for (int i = 0; i < downs; ++i) {
            if (keys.isEmpty())
                f.window->UpDown_Zoubun->DownButton()->click();
            else
                QTest::keyClick(f.window->UpDown_Zoubun, keys[1]);
        }
        QCOMPARE(f.window->Lbl_up->text(), shown);
        QCOMPARE(f.window->Lbl_up->accessibleName(), QStringLiteral("増分 ") + shown);
        QCOMPARE(QString::fromStdU16String(f.window->Text("Lbl_up")), shown);
    }

    void doubleClickResetsIncrement() {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        for (int i = 0; i < 5; ++i) f.window->UpDown_Zoubun->DownButton()->click();
        QCOMPARE(f.window->Lbl_up->text(), QStringLiteral("-5"));
        QTest::mouseDClick(f.window->Lbl_up, Qt::LeftButton);
        QCOMPARE(f.window->Lbl_up->text(), QStringLiteral("1"));
        // Home on the stepper does the same from the keyboard.
        QTest::keyClick(f.window->UpDown_Zoubun, Qt::Key_Down);
        QTest::keyClick(f.window->UpDown_Zoubun, Qt::Key_Home);
        QCOMPARE(f.window->Lbl_up->text(), QStringLiteral("1"));
    }

    void digitCountStopsAtTheEnds_data() {
        QTest::addColumn<int>("ups");
        QTest::addColumn<int>("downs");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("stops at 10") << 15 << 0 << "10" << false;
        QTest::newRow("one below the top") << 15 << 1 << "9" << false;
        QTest::newRow("stops at 1") << 0 << 4 << "1" << false;
        QTest::newRow("Up key stops at 10") << 12 << 0 << "10" << true;
        QTest::newRow("Down key stops at 1") << 3 << 5 << "1" << true;
    }
    void digitCountStopsAtTheEnds() {
        QFETCH(int, ups);
        QFETCH(int, downs);
        QFETCH(QString, shown);
        QFETCH(bool, byKeys);
        MainWindowFixture f;
        zv::UpDownControl* keta = f.window->UpDown_Keta;
        for (int i = 0; i < ups; ++i) byKeys ? QTest::keyClick(keta, Qt::Key_Up) : keta->UpButton()->click();
        for (int i = 0; i < downs; ++i)
            byKeys ? QTest::keyClick(keta, Qt::Key_Down) : keta->DownButton()->click();
        QCOMPARE(f.window->Lbl_keta->text(), shown);
        QCOMPARE(f.window->Lbl_keta->accessibleName(), QStringLiteral("桁数 ") + shown);
        QCOMPARE(f.window->UpDown_Keta->Value(), shown.toInt());
    }

    void digitLockGreysWithoutChangingTheCount() {
        MainWindowFixture f;
        for (int i = 0; i < 4; ++i) f.window->UpDown_Keta->UpButton()->click();
        f.window->Chk_keta_lock->click();
        QCOMPARE(f.window->Value("Chk_keta_lock"), 0);
        QVERIFY(!f.window->Lbl_keta->isEnabled());
        QVERIFY(!f.window->UpDown_Keta->isEnabled());
        f.window->UpDown_Keta->UpButton()->click();          // a disabled arrow does nothing
        QTest::keyClick(f.window->UpDown_Keta, Qt::Key_Up);  // nor does its key
        QCOMPARE(f.window->Lbl_keta->text(), QStringLiteral("5"));
        f.window->Chk_keta_lock->click();
        QVERIFY(f.window->Lbl_keta->isEnabled());
        QVERIFY(f.window->UpDown_Keta->isEnabled());
        QCOMPARE(f.window->Lbl_keta->text(), QStringLiteral("5"));
    }

    void keyFilter_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<Key>>("keys");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        const Key enter{Qt::Key_Return, QStringLiteral("\r")};
        const Key backspace{Qt::Key_Backspace, QStringLiteral("\b")};
        const Key del{Qt::Key_Delete, QString()};
        const Key home{Qt::Key_Home, QString()};
        const Key left{Qt::Key_Left, QString()};
        QTest::newRow("digits and a letter") << "Txt_Startnum"
                                             << "" << Chars("12a3") << "123" << 1;
        QTest::newRow("enter beeps") << "Txt_Startnum"
                                     << "5" << QList<Key>{enter} << "5" << 1;
        QTest::newRow("minus beeps") << "Txt_Startnum"
                                     << "" << Chars("-7") << "7" << 1;
        QTest::newRow("eleventh digit not taken") << "Txt_Startnum"
                                                  << "" << Chars("12345678901") << "1234567890" << 0;
        QTest::newRow("backspace deletes") << "Txt_Startnum"
                                           << "" << (Chars("123") << backspace) << "12" << 0;
        QTest::newRow("delete and arrows work silently")
            << "Txt_Startnum"
            << "" << (Chars("123") << home << del << left) << "23" << 0;
        QTest::newRow("full-width digit beeps")
            << "Txt_Startnum"
            << "" << QList<Key>{{Qt::Key_unknown, QStringLiteral("１")}} << "" << 1;
        QTest::newRow("month takes two") << "Txt_MM"
                                         << "" << Chars("1x23") << "12" << 1;
        QTest::newRow("ctrl+v and ctrl+x refused")
            << "Txt_Startnum"
            << "1"
            << QList<Key>{{Qt::Key_V, QStringLiteral("\x16"), Qt::ControlModifier},
                          {Qt::Key_X, QStringLiteral("\x18"), Qt::ControlModifier}}
            << "1" << 2;
    }
    void keyFilter() {
        QFETCH(QString, box);
        QFETCH(QString, before);
        QFETCH(QList<Key>, keys);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        MainWindowFixture f;
        QLineEdit* edit = SelectedBox(f, box, before);
        QVERIFY(edit);
        QApplication::clipboard()->setText(QStringLiteral("99"));
        Type(edit, keys);
        QCOMPARE(edit->text(), after);
        QCOMPARE(f.beeps, beeps);
    }

    // Text that comes whole -- an input method's commit, a paste -- meets the
    // same filter as typed keys in the number boxes, and lands as it is in the
    // free texts. Each box is filled with "5" and selected first.
    void wholeTexts_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("paste");  // else an input-method commit
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("beeps");
        for (const char* box : {"Txt_Startnum", "Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"}) {
            QTest::addRow("%s full-width digits", box) << box << false << "１２"
                                                       << "5" << 1;
            QTest::addRow("%s kana", box) << box << false << "に"
                                          << "5" << 1;
        }
        QTest::newRow("digit and kana together") << "Txt_DD" << false << "7に"
                                                 << "5" << 1;
        QTest::newRow("committed digits land") << "Txt_Startnum" << false << "123"
                                               << "123" << 0;
        QTest::newRow("pasted letters") << "Txt_Startnum" << true << "12a"
                                        << "5" << 1;
        QTest::newRow("pasted digits land") << "Txt_MM" << true << "12"
                                            << "12" << 0;
        QTest::newRow("front text takes kana") << "Txt_B_text" << false << "写真"
                                               << "写真" << 0;
        QTest::newRow("back text takes full-width") << "Txt_A_text" << false << "１２"
                                                    << "１２" << 0;
    }
    void wholeTexts() {
        QFETCH(QString, box);
        QFETCH(bool, paste);
        QFETCH(QString, text);
        QFETCH(QString, after);
        QFETCH(int, beeps);
        MainWindowFixture f;
        QLineEdit* edit = SelectedBox(f, box, QStringLiteral("5"));
        QVERIFY(edit);
        // The platform's input method asks only this before it composes.
        const bool freeText = box == "Txt_B_text" || box == "Txt_A_text";
        QCOMPARE(edit->inputMethodQuery(Qt::ImEnabled).toBool(), freeText);
        if (paste) {
            QApplication::clipboard()->setText(text);
            edit->paste();
        } else {
            QInputMethodEvent composing(text, {});
            QApplication::sendEvent(edit, &composing);
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit, &commit);
        }
        QCOMPARE(edit->text(), after);
        QCOMPARE(f.beeps, beeps);
    }

    void nowFillsFromTheClock() {
        MainWindowFixture f;
        for (QLineEdit* box : {f.window->Txt_YY, f.window->Txt_MM, f.window->Txt_DD, f.window->Txt_H,
                               f.window->Txt_M, f.window->Txt_S}) {
            box->clear();
        }
        f.window->Chk_DateLock->click();
        f.window->Cmd_Now->click();
        const QStringList shown = {f.window->Txt_YY->text(), f.window->Txt_MM->text(),
                                   f.window->Txt_DD->text(), f.window->Txt_H->text(),
                                   f.window->Txt_M->text(),  f.window->Txt_S->text()};
        QCOMPARE(shown, (QStringList{"2024", "3", "7", "9", "5", "3"}));
    }

    void switchingAGroupOffKeepsItsValues_data() {
        QTest::addColumn<QString>("switchBox");
        QTest::addColumn<QStringList>("members");
        QTest::newRow("time stamp") << "Chk_DateLock" << QStringList{"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H",
                                                                     "Txt_M",  "Txt_S",  "Cmd_Now"};
        QTest::newRow("attributes") << "Chk_Attrib"
                                    << QStringList{"Chk_Att_Set(0)", "Chk_Att_Set(1)", "Chk_Att_Set(2)",
                                                   "Chk_Att_Set(3)"};
    }
    void switchingAGroupOffKeepsItsValues() {
        QFETCH(QString, switchBox);
        QFETCH(QStringList, members);
        MainWindowFixture f;
        auto* sw = f.window->findChild<QCheckBox*>(switchBox);
        sw->click();
        for (const QString& m : members)
            QVERIFY2(f.window->findChild<QWidget*>(m)->isEnabled(), qPrintable(m));

        f.window->Txt_MM->setText(QStringLiteral("12"));
        f.window->Chk_Att_Set[1]->click();
        sw->click();
        for (const QString& m : members)
            QVERIFY2(!f.window->findChild<QWidget*>(m)->isEnabled(), qPrintable(m));
        QCOMPARE(f.window->Text("Txt_MM"), std::u16string(u"12"));
        QCOMPARE(f.window->Value("Chk_Att_Set(1)"), switchBox == "Chk_Attrib" ? 1 : 0);
        QCOMPARE(f.window->Value(switchBox.toStdString()), 0);

        sw->click();
        QCOMPARE(f.window->Text("Txt_MM"), std::u16string(u"12"));
        QCOMPARE(f.window->Value("Chk_Att_Set(1)"), switchBox == "Chk_Attrib" ? 1 : 0);
    }
};

QTEST_MAIN(tst_Frm_Main_Numbering)
#include "tst_Frm_Main_Numbering.moc"
