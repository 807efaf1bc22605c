// The main window as it opens: size, caption, initial states, what the engine
// reads from it, and that the file list offers the start folder.

#include <QComboBox>
#include <QGroupBox>
#include <QToolButton>

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
        const char* disabled[] = {"Cmd_Test",       "Cmd_Run",        "Cmd_Now",        "Txt_YY",
                                  "Txt_MM",         "Txt_DD",         "Txt_H",          "Txt_M",
                                  "Txt_S",          "Chk_Att_Set(0)", "Chk_Att_Set(1)", "Chk_Att_Set(2)",
                                  "Chk_Att_Set(3)", "Opt_Cpymov(1)"};
        for (const char* name : disabled) QTest::newRow(name) << QString::fromLatin1(name) << false << 0;
        QTest::newRow("Opt_Cpymov(0)") << "Opt_Cpymov(0)" << false << -1;
        QTest::newRow("Chk_keta_lock") << "Chk_keta_lock" << true << 1;
        QTest::newRow("Opt_Han") << "Opt_Han" << true << -1;
        QTest::newRow("Opt_Zen") << "Opt_Zen" << true << 0;
        QTest::newRow("Chk_syori(0)") << "Chk_syori(0)" << true << 0;
        QTest::newRow("Chk_syori(1)") << "Chk_syori(1)" << true << 0;
        QTest::newRow("Chk_DateLock") << "Chk_DateLock" << true << 0;
        QTest::newRow("Chk_Attrib") << "Chk_Attrib" << true << 0;
        QTest::newRow("Lbl_keta") << "Lbl_keta" << true << 0;
        QTest::newRow("UpDown_Keta") << "UpDown_Keta" << true << 0;
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
        QTest::newRow("Lbl_up") << "Lbl_up"
                                << "1";
        QTest::newRow("Lbl_keta") << "Lbl_keta"
                                  << "1";
        QTest::newRow("Txt_B_text") << "Txt_B_text"
                                    << "";
        QTest::newRow("Label2") << "Label2"
                                << "固定文字列（前半部）";
        QTest::newRow("Label3") << "Label3"
                                << "固定文字列（後半部）";
        QTest::newRow("Lbl_Msgdsp") << "Lbl_Msgdsp"
                                    << "ファイルを選択して下さい。";
        QTest::newRow("Cmb_Filter") << "Cmb_Filter"
                                    << "*.*";
        // The design texts 9999 and 99 are replaced by the clock at load.
        QTest::newRow("Txt_YY") << "Txt_YY"
                                << "2024";
        QTest::newRow("Txt_MM") << "Txt_MM"
                                << "3";
        QTest::newRow("Txt_S") << "Txt_S"
                               << "3";
        QTest::newRow("F_Dir") << "F_Dir"
                               << "/data";
        QTest::newRow("A_Dir") << "A_Dir"
                               << "/data";
    }
    void initialTexts() {
        QFETCH(QString, control);
        QFETCH(QString, text);
        MainWindowFixture f;
        QCOMPARE(QString::fromStdU16String(f.window->Text(control.toStdString())), text);
    }

    void pictureButtonsCarryImagesAndTips_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("tip");
        QTest::newRow("Cmd_Newfile") << "Cmd_Newfile"
                                     << "最新状態に更新します";
        QTest::newRow("Com_Makefolder") << "Com_Makefolder"
                                        << "新しいフォルダを作成します";
        QTest::newRow("Cmd_About") << "Cmd_About"
                                   << "バージョン情報を表示します";
        QTest::newRow("Cmd_Help") << "Cmd_Help"
                                  << "ヘルプを表示します";
    }
    void pictureButtonsCarryImagesAndTips() {
        QFETCH(QString, control);
        QFETCH(QString, tip);
        MainWindowFixture f;
        auto* b = f.window->findChild<QToolButton*>(control);
        QVERIFY(b);
        QCOMPARE(b->toolTip(), tip);
        QVERIFY(b->text().isEmpty());
        QVERIFY2(!b->icon().pixmap(16, 16).isNull(), "image resource missing");
    }

    void fileListShowsStartFolderInListOrder() {
        MainWindowFixture f({u"b.txt", u"a.txt", u"c.dat"});
        QCOMPARE(f.window->FileCount(), 3);
        QCOMPARE(f.window->FileName(0), std::u16string(u"b.txt"));
        QCOMPARE(f.window->FileName(2), std::u16string(u"c.dat"));
        QCOMPARE(f.window->FileName(3), std::u16string());
        QCOMPARE(f.window->F_File->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void fileClickSetsReadyState() {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QRect cell = f.window->F_File->visualItemRect(f.window->F_File->item(1));
        QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QVERIFY(f.window->FileSelected(1));
        QVERIFY(f.window->Cmd_Test->isEnabled() && f.window->Cmd_Run->isEnabled());
        QTest::mouseClick(f.window->F_File->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        QVERIFY(!f.window->FileSelected(1));
        QVERIFY(!f.window->Cmd_Test->isEnabled() && !f.window->Cmd_Run->isEnabled());
    }

    void missingStartFolderGivesEmptyList() {
        MainWindowFixture f;
        f.files.folders.clear();
        QVERIFY(!f.window->RefreshFileList());
        QCOMPARE(f.window->FileCount(), 0);
    }
};

QTEST_MAIN(tst_Frm_Main_Layout)
#include "tst_Frm_Main_Layout.moc"
