// The test run through the window: results, refusals, the progress window,
// the pointer, and the run buttons held off while a run works.

#include "MainWindowFixture.h"

using zv::qt::QtMessageBox;
using zvtest::MainWindowFixture;

// Shows the window and clicks a test run of its first two files.
static bool TestRunOfTwo(zv::Frm_Main& window) {
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    window.F_File->selectRows([](int row) { return row < 2; });
    window.F_File_Click();
    window.Cmd_Test->click();
    return true;
}

class tst_Frm_Main_Run : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    void testRunFillsResults_data() {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("front");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two of three") << QList<int>{0, 2} << "" << QStringList{"1.txt", "2.txt"};
        QTest::newRow("all, with a front text")
            << QList<int>{0, 1, 2} << "p" << QStringList{"p1.txt", "p2.txt", "p3.txt"};
    }
    void testRunFillsResults() {
        QFETCH(QList<int>, rows);
        QFETCH(QString, front);
        QFETCH(QStringList, expected);
        MainWindowFixture f;
        f.window->Txt_B_text->setText(front);
        for (int r : rows) f.window->F_File->setSelected(r, true);
        f.window->F_File_Click();
        QVERIFY(f.window->Cmd_Test->isEnabled());

        f.window->Cmd_Test->click();

        QStringList shown;
        for (int i = 0; i < f.window->Lst_Kekka->count(); ++i) shown << f.window->Lst_Kekka->item(i)->text();
        QCOMPARE(shown, expected);
        QStringList column4;
        for (const auto& n : f.window->Engine().Table().newName) column4 << QString::fromStdU16String(n);
        QCOMPARE(shown, column4);
        QVERIFY(QtMessageBox::Shown().empty());
        QVERIFY(!f.window->WaitWindow().IsOpen());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.window->Cmd_Test->isEnabled());
        QVERIFY(f.window->Cmd_Run->isEnabled());
    }

    void refusedRunLeavesNothing() {
        MainWindowFixture f;
        f.Select({0, 1});
        f.window->Cmd_Test->click();  // a good run first, so there is something to clear
        QCOMPARE(f.window->Lst_Kekka->count(), 2);

        f.window->Txt_B_text->setText("a/b");
        f.window->Cmd_Test->click();

        QCOMPARE(QtMessageBox::Shown().size(), std::size_t{1});
        QCOMPARE(f.window->Lst_Kekka->count(), 0);
        QVERIFY(!f.window->WaitWindow().IsOpen());
        QVERIFY(!QApplication::overrideCursor());
        // The refusal does not take the ready state away.
        QVERIFY(f.window->Cmd_Test->isEnabled());
        QVERIFY(f.window->Cmd_Run->isEnabled());
    }

    void runButtonsHeldOffDuringTheRun() {
        MainWindowFixture f;
        f.Select({0, 1, 2});
        f.window->Cmd_Test->click();
        QVERIFY(f.pump.calls > 0);
        QCOMPARE(f.pump.callsWithRunButtonsOn, 0);
        QVERIFY(f.window->Cmd_Test->isEnabled());
    }

    void settingsCannotChangeDuringARun() {
        // The engine reads the texts file by file: input arriving while the
        // run pumps events must not reach the controls.
        MainWindowFixture f;
        struct TypingPump final : zv::EventPump {
            zv::Frm_Main* w = nullptr;
            void DoEvents() override {
                QTest::keyClick(w->Txt_B_text, Qt::Key_X);
                QTest::mouseClick(w->Chk_syori[0], Qt::LeftButton, {},
                                  QPoint(8, w->Chk_syori[0]->height() / 2));
            }
        } pump;
        zv::Frm_Main window({f.messages, pump, f.clock, f.files}, QStringLiteral("/data"));
        pump.w = &window;
        QVERIFY(TestRunOfTwo(window));
        QCOMPARE(window.Txt_B_text->text(), QString());
        QCOMPARE(window.Value("Chk_syori(0)"), 0);
        QCOMPARE(window.Lst_Kekka->count(), 2);
        QCOMPARE(window.Lst_Kekka->item(1)->text(), QStringLiteral("2.txt"));
        // Input works again once the run is over.
        QTest::keyClick(window.Txt_B_text, Qt::Key_X);
        QCOMPARE(window.Txt_B_text->text(), QStringLiteral("x"));
    }

    void closeDuringARunHappensWhenItEnds() {
        MainWindowFixture f;
        struct ClosingPump final : zv::EventPump {
            zv::Frm_Main* w = nullptr;
            bool stillOpen = true;
            void DoEvents() override {
                w->close();  // as Alt+F4 does
                stillOpen = stillOpen && w->isVisible();
            }
        } pump;
        zv::Frm_Main window({f.messages, pump, f.clock, f.files}, QStringLiteral("/data"));
        pump.w = &window;
        QVERIFY(TestRunOfTwo(window));
        QVERIFY(pump.stillOpen);
        QCOMPARE(window.Lst_Kekka->count(), 2);
        QTRY_VERIFY(!window.isVisible());
    }

    void realRunDeclinedTouchesNothing() {
        MainWindowFixture f;
        f.Select({0});
        QtMessageBox::PresetAnswers({zv::kNo});
        f.window->Cmd_Run->click();
        QCOMPARE(QtMessageBox::Shown().size(), std::size_t{1});
        QCOMPARE(QtMessageBox::Shown()[0].prompt, std::u16string(u"変換処理を開始しますか？"));
        QCOMPARE(QtMessageBox::Shown()[0].buttons, int(zv::kYesNo));
        QVERIFY(!f.window->WaitWindow().IsOpen());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(f.window->Cmd_Run->isEnabled());
    }
};

QTEST_MAIN(tst_Frm_Main_Run)
#include "tst_Frm_Main_Run.moc"
