// The Qt message box and beep services.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtMessageBox.h"
#include "shared/qt/QtStrings.h"
#include "shared/qt/SystemBeep.h"

using zv::qt::QtMessageBox;

namespace {

// A button text without its mnemonic: "いいえ(&N)" reads "いいえ".
QString Plain(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    return text.remove(QLatin1Char('&'));
}

// Presses the button with the given text on the next message box shown, and
// notes what the box looked like.
struct BoxPresser {
    QString press;
    QStringList buttonTexts;
    QString title;
    QString text;
    int icon = -1;

    void Arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            for (QAbstractButton* b : box->buttons()) {
                buttonTexts << Plain(b->text());
            }
            for (QAbstractButton* b : box->buttons()) {
                if (Plain(b->text()) == press) {
                    b->click();
                    return;
                }
            }
            box->reject();
        });
    }
};

}  // namespace

class tst_QtServices : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QVERIFY(zv::qt::SetUpJapaneseUi(*qApp)); }

    void realBoxButtonsAndAnswers_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QStringList>("expectedButtons");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << int(zv::kOkOnly) << "OK" << QStringList{"OK"} << int(zv::kOk);
        QTest::newRow("yes") << int(zv::kYesNo) << "はい" << QStringList{"はい", "いいえ"} << int(zv::kYes);
        QTest::newRow("no") << int(zv::kYesNo) << "いいえ" << QStringList{"はい", "いいえ"} << int(zv::kNo);
        QTest::newRow("cancel") << int(zv::kOkCancel) << "キャンセル" << QStringList{"OK", "キャンセル"}
                                << int(zv::kCancel);
        QTest::newRow("closed yes/no box is no")
            << int(zv::kYesNo) << "" << QStringList{"はい", "いいえ"} << int(zv::kNo);
    }
    void realBoxButtonsAndAnswers() {
        QFETCH(int, buttons);
        QFETCH(QString, press);
        QFETCH(QStringList, expectedButtons);
        QFETCH(int, answer);
        BoxPresser presser{press};
        presser.Arm();
        QtMessageBox box;
        const int got = box.Show(u"変換処理を開始しますか？", buttons, u"確認");
        QCOMPARE(got, answer);
        QCOMPARE(presser.title, QStringLiteral("確認"));
        QCOMPARE(presser.text, QStringLiteral("変換処理を開始しますか？"));
        QCOMPARE(presser.icon, int(QMessageBox::NoIcon));
        QStringList shown = presser.buttonTexts;
        shown.sort();
        expectedButtons.sort();
        QCOMPARE(shown, expectedButtons);
    }

    void answeringModeRecordsAndAnswers() {
        QtMessageBox::SetAnswering(true);
        QtMessageBox::ClearShown();
        QtMessageBox::PresetAnswers({zv::kYes, zv::kOk});
        QtMessageBox box;
        QCOMPARE(box.Show(u"一", zv::kYesNo, u"題"), int(zv::kYes));
        QCOMPARE(box.Show(u"二", zv::kOkCancel, u"題"), int(zv::kOk));
        // Preset answers used up: the cautious answer of each button set.
        QCOMPARE(box.Show(u"三", zv::kYesNo, u"題"), int(zv::kNo));
        QCOMPARE(box.Show(u"四", zv::kOkCancel, u"題"), int(zv::kCancel));
        QCOMPARE(box.Show(u"五", zv::kOkOnly, u"題"), int(zv::kOk));
        const auto& shown = QtMessageBox::Shown();
        QCOMPARE(shown.size(), std::size_t{5});
        QCOMPARE(shown[1].prompt, std::u16string(u"二"));
        QCOMPARE(shown[1].buttons, int(zv::kOkCancel));
        QCOMPARE(shown[4].title, std::u16string(u"題"));
        QtMessageBox::SetAnswering(false);
        QtMessageBox::ClearShown();
    }

    void stringsKeepLoneSurrogates() {
        // A raw file-name byte carried as a lone surrogate must survive Qt.
        const std::u16string name = {u'a', char16_t(0xDCFF), u'.', u't', u'x', u't'};
        QCOMPARE(zv::qt::ToU16(zv::qt::ToQString(name)), name);
        QCOMPARE(zv::qt::ToQString(u"日本語").size(), 3);
    }

    void beepHookCounts() {
        int beeps = 0;
        zv::qt::SetBeepHook([&] { ++beeps; });
        zv::qt::SystemBeep();
        zv::qt::SystemBeep();
        zv::qt::SetBeepHook({});
        zv::qt::SystemBeep();  // the real beep again
        QCOMPARE(beeps, 2);
    }
};

QTEST_MAIN(tst_QtServices)
#include "tst_QtServices.moc"
