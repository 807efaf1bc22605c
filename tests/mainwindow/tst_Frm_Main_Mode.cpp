// Switching the processing mode: what shows, what greys, which guidance.

#include "MainWindowFixture.h"

using zvtest::MainWindowFixture;

namespace {
const char* const kNumberingGroup[] = {"Label4",        "Label5",       "Label6",      "Lbl_keta",
                                       "Lbl_up",        "Txt_Startnum", "UpDown_Keta", "UpDown_Zoubun",
                                       "Chk_keta_lock", "Opt_Han",      "Opt_Zen"};
const QString kTail =
    QStringLiteral("、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）");
}  // namespace

class tst_Frm_Main_Mode : public QObject {
    Q_OBJECT
  private slots:
    void switchMode_data() {
        QTest::addColumn<int>("box");  // -1: check and uncheck box 1 again
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("groupVisible");
        QTest::addColumn<QString>("label2");
        QTest::addColumn<QString>("label3");
        QTest::addColumn<bool>("box0Enabled");
        QTest::addColumn<bool>("box1Enabled");
        QTest::addColumn<QString>("guidance");
        const QString none = QStringLiteral("ファイルを選択して下さい。");
        const QString front = QStringLiteral("固定文字列（前半部）");
        const QString back = QStringLiteral("固定文字列（後半部）");
        QTest::newRow("append, files") << 0 << true << false << front << back << true << false
                                       << QStringLiteral("固定文字列を設定して") + kTail;
        QTest::newRow("replace, no files") << 1 << false << false << QStringLiteral("検索文字列")
                                           << QStringLiteral("置換文字列") << false << true << none;
        QTest::newRow("replace, files")
            << 1 << true << false << QStringLiteral("検索文字列") << QStringLiteral("置換文字列") << false
            << true << QStringLiteral("検索文字列を設定して") + kTail;
        QTest::newRow("back to numbering, files") << -1 << true << true << front << back << true << true
                                                  << QStringLiteral("連番を設定して") + kTail;
    }
    void switchMode() {
        QFETCH(int, box);
        QFETCH(bool, selected);
        QFETCH(bool, groupVisible);
        QFETCH(QString, label2);
        QFETCH(QString, label3);
        QFETCH(bool, box0Enabled);
        QFETCH(bool, box1Enabled);
        QFETCH(QString, guidance);

        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        if (selected) f.Select({1});
        auto* clicked = f.window->Chk_syori[box < 0 ? 1 : box];
        QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(8, clicked->height() / 2));
        if (box < 0) QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(8, clicked->height() / 2));

        for (const char* name : kNumberingGroup) {
            QVERIFY2(f.Find(name)->isVisible() == groupVisible, name);
            QCOMPARE(f.window->IsVisible(name), groupVisible);
        }
        QCOMPARE(f.window->Label2->text(), label2);
        QCOMPARE(f.window->Label3->text(), label3);
        QCOMPARE(f.window->Chk_syori[0]->isEnabled(), box0Enabled);
        QCOMPARE(f.window->Chk_syori[1]->isEnabled(), box1Enabled);
        QCOMPARE(f.window->Lbl_Msgdsp->text(), guidance);
        // The mode box never changes the ready state.
        QCOMPARE(f.window->Cmd_Run->isEnabled(), selected);
        QCOMPARE(f.window->Cmd_Test->isEnabled(), selected);
    }

    void textsAndNumberingSurviveModeSwitches() {
        MainWindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.window->Txt_B_text->insert(QStringLiteral("写真_"));
        QTest::keyClicks(f.window->Txt_A_text, QStringLiteral("_b"));
        f.window->Txt_Startnum->setText(QStringLiteral("42"));
        f.window->Opt_Zen->setChecked(true);
        f.window->UpDown_Zoubun_UpClick();

        f.window->Chk_syori[1]->setChecked(true);  // replace: the first text is the search string now
        QCOMPARE(QString::fromStdU16String(f.window->Text("Txt_B_text")), QStringLiteral("写真_"));
        f.window->Chk_syori[1]->setChecked(false);
        f.window->Chk_syori[0]->setChecked(true);
        f.window->Chk_syori[0]->setChecked(false);

        QCOMPARE(f.window->Txt_B_text->text(), QStringLiteral("写真_"));
        QCOMPARE(f.window->Txt_A_text->text(), QStringLiteral("_b"));
        QCOMPARE(f.window->Txt_Startnum->text(), QStringLiteral("42"));
        QCOMPARE(f.window->Lbl_up->text(), QStringLiteral("2"));
        QCOMPARE(f.window->Value("Opt_Zen"), -1);
        QCOMPARE(f.window->Value("Opt_Han"), 0);
    }
};

QTEST_MAIN(tst_Frm_Main_Mode)
#include "tst_Frm_Main_Mode.moc"
