// The main window as it opens: size, caption, initial states, and what the
// engine reads from it.

#include <QGroupBox>

#include "MainWindowFixture.h"

using zvtest::MainWindowFixture;

class tst_Frm_Main_Layout : public QObject {
    Q_OBJECT
  private slots:
    void windowSizeAndCaption() {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Zorvik"));
        const double dpi = f.window->Scale().Dpi();
        QCOMPARE(f.window->size(), QSize(qRound(9570 * dpi / 1440), qRound(5925 * dpi / 1440)));
        QCOMPARE(f.window->minimumSize(), f.window->maximumSize());
    }

    void everyControlInsideTheClientArea() {
        // Nothing the user may need can lie outside the fixed-size window.
        MainWindowFixture f;
        const QRect client = f.window->rect();
        for (QWidget* w : f.window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isWindow()) continue;
            QVERIFY2(client.contains(w->geometry()), qPrintable(w->objectName()));
        }
        for (QGroupBox* frame : f.window->findChildren<QGroupBox*>()) {
            for (QWidget* w : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(frame->rect().contains(w->geometry()), qPrintable(w->objectName()));
            }
        }
    }

    void initialStates_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("value");  // as the engine reads it
        const char* disabled[] = {"Cmd_Test", "Cmd_Run",        "Cmd_Now",
                                  "Txt_S",    "Chk_Att_Set(3)", "Opt_Cpymov(1)"};
        for (const char* name : disabled) QTest::newRow(name) << QString::fromLatin1(name) << false << 0;
        QTest::newRow("Opt_Cpymov(0)") << "Opt_Cpymov(0)" << false << -1;
        QTest::newRow("Chk_keta_lock") << "Chk_keta_lock" << true << 1;
        QTest::newRow("Opt_Han") << "Opt_Han" << true << -1;
        QTest::newRow("Chk_DateLock") << "Chk_DateLock" << true << 0;
    }
    void initialStates() {
        QFETCH(QString, control);
        QFETCH(bool, enabled);
        QFETCH(int, value);
        MainWindowFixture f;
        QWidget* w = f.window->findChild<QWidget*>(control);
        QVERIFY2(w, qPrintable(control));
        QCOMPARE(w->isEnabled(), enabled);
        QCOMPARE(f.window->Value(control.toStdString()), value);
    }

    void initialTexts_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::newRow("Txt_Startnum") << "Txt_Startnum"
                                      << "1";
        QTest::newRow("Lbl_Msgdsp") << "Lbl_Msgdsp"
                                    << "ファイルを選択して下さい。";
        QTest::newRow("A_Dir") << "A_Dir"
                               << "/data";
    }
    void initialTexts() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        MainWindowFixture f;
        QCOMPARE(QString::fromStdU16String(f.window->Text(control.toStdString())), text);
    }

    void fileClickSetsReadyState() {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect cell = f.window->F_File->visualRect(f.window->F_File->model()->index(1, 0));
        QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QVERIFY(f.window->FileSelected(1));
        QVERIFY(f.window->Cmd_Test->isEnabled() && f.window->Cmd_Run->isEnabled());
        QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QVERIFY(!f.window->FileSelected(1));
        QVERIFY(!f.window->Cmd_Test->isEnabled() && !f.window->Cmd_Run->isEnabled());
    }
};

QTEST_MAIN(tst_Frm_Main_Layout)
#include "tst_Frm_Main_Layout.moc"
