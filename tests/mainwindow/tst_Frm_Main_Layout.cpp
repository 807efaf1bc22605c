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

    void initialStates() {
        MainWindowFixture f;
        struct State {
            const char* control;
            bool enabled;
            int value;  // as the engine reads it
        };
        for (const State& c : {State{"Cmd_Test", false, 0}, State{"Cmd_Run", false, 0}, State{"Cmd_Now", false, 0},
                               State{"Txt_S", false, 0}, State{"Chk_Att_Set(3)", false, 0},
                               State{"Opt_Cpymov(1)", false, 0}, State{"Opt_Cpymov(0)", false, -1},
                               State{"Chk_keta_lock", true, 1}, State{"Opt_Han", true, -1},
                               State{"Chk_DateLock", true, 0}}) {
            QWidget* w = f.window->findChild<QWidget*>(QString::fromLatin1(c.control));
            QVERIFY2(w && w->isEnabled() == c.enabled, c.control);
            QVERIFY2(f.window->Value(c.control) == c.value, c.control);
        }
        for (const auto& [control, text] : {std::pair{"Txt_Startnum", u"1"}, std::pair{"Lbl_Msgdsp", u"ファイルを選択して下さい。"},
                                            std::pair{"A_Dir", u"/data"}})
            QVERIFY2(f.window->Text(control) == std::u16string(text), control);
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
