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
        QTest::newRow("yes") << int(zv::kYesNo) << "はい" << QStringList{"はい", "いいえ"} << int(zv::kYes);
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
};

QTEST_MAIN(tst_QtServices)
#include "tst_QtServices.moc"
