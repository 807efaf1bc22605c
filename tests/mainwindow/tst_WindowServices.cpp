// What the windows stand on: placement rules, the progress window with its
// wait pointer, and the real message box.

#include <QtTest>
#include <QtWidgets>

#include "mainwindow/Frm_Wait.h"
#include "mainwindow/MainWindowRules.h"
#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtMessageBox.h"

using zv::Frm_Wait;

class tst_WindowServices : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { QVERIFY(zv::qt::SetUpJapaneseUi(*qApp)); }
    void cleanup() {
        // A failed test must not leave a pointer behind for the next.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    // Centred over the owner: an odd height difference, and a window larger
    // than its owner (the negative half truncates toward zero). Twips: the
    // client height at 144 dpi, a fraction rounding to the nearest, and no dpi
    // falling back to 96.
    void placement() {
        for (const auto& [o, own, expected] :
             {std::tuple{QRect(100, 50, 640, 420), QSize(230, 61), QPoint(305, 229)},
              {QRect(10, 10, 100, 40), QSize(231, 61), QPoint(-55, 0)}}) {
            const zv::Point p =
                zv::CentredOver(o.x(), o.y(), o.width(), o.height(), own.width(), own.height());
            QCOMPARE(QPoint(p.x, p.y), expected);
        }
        for (const auto& [dpi, twips, pixels] :
             {std::tuple{144.0, 5925, 593}, {96.0, 23, 2}, {0.0, 1440, 96}})
            QCOMPARE(zv::TwipScale(dpi).ToPixels(twips), pixels);
    }

    // The wait pointer only while the window is open; the progress row grows
    // the window, still centred, and cancels once.
    void waitWindow() {
        QWidget owner;
        owner.setGeometry(100, 100, 600, 400);
        {
            Frm_Wait wait(&owner);
            wait.Open();
            QVERIFY(wait.IsOpen() && wait.isVisible());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            // Opening twice must not stack a second pointer that one close leaves.
            wait.Open();
            wait.Close();
            QVERIFY(!wait.IsOpen() && !wait.isVisible());
            QVERIFY(!QApplication::overrideCursor());

            wait.Open();
            const QSize small = wait.size();
            wait.ShowProgress(3, 10, true);
            QVERIFY(wait.height() > small.height());
            QVERIFY(wait.Prg_Rows->isVisibleTo(&wait) && wait.Cmd_Cancel->isVisibleTo(&wait));
            QCOMPARE(wait.Prg_Rows->value(), 3);
            QCOMPARE(wait.Prg_Rows->maximum(), 10);
            const QRect o = owner.frameGeometry();
            QCOMPARE(wait.y(), o.y() + (o.height() - wait.height()) / 2);
            QTest::mouseClick(wait.Cmd_Cancel, Qt::LeftButton);
            QVERIFY(wait.CancelRequested());
            QVERIFY(!wait.Cmd_Cancel->isEnabled());
            // The next run starts small and without a pending cancel.
            wait.Close();
            wait.Open();
            QCOMPARE(wait.size(), small);
            QVERIFY(!wait.CancelRequested());
            wait.ShowProgress(0, 5, false);
            QVERIFY(!wait.Cmd_Cancel->isEnabled());
        }  // destroyed while open
        QVERIFY(!QApplication::overrideCursor());
    }

    // The real box: Japanese buttons, no icon, and the answer of the button
    // pressed; closed without one, a yes/no box answers no.
    void messageBox() {
        // The buttons, the one pressed, the texts shown and the answer.
        for (const auto& [buttons, press, shown, answer] :
             {std::tuple{zv::kYesNo, QString("はい"), QStringList{"いいえ", "はい"}, zv::kYes},
              {zv::kOkCancel, "キャンセル", {"OK", "キャンセル"}, zv::kCancel},
              {zv::kYesNo, "", {"いいえ", "はい"}, zv::kNo}}) {  // closed: a yes/no box answers no
            QString title, text;
            QStringList buttonTexts;
            int icon = -1;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                title = box->windowTitle();
                text = box->text();
                icon = box->icon();
                QAbstractButton* pressed = nullptr;
                for (QAbstractButton* b : box->buttons()) {
                    // Without its mnemonic: "いいえ(&N)" reads "いいえ".
                    buttonTexts << b->text().remove(QRegularExpression("\\(&.\\)$")).remove('&');
                    if (buttonTexts.last() == press) pressed = b;
                }
                pressed ? pressed->click() : box->reject();
            });
            QCOMPARE(zv::qt::QtMessageBox().Show(u"変換処理を開始しますか？", buttons, u"確認"), answer);
            QCOMPARE(title, "確認");
            QCOMPARE(text, "変換処理を開始しますか？");
            QCOMPARE(icon, int(QMessageBox::NoIcon));
            buttonTexts.sort();
            QCOMPARE(buttonTexts, shown);
        }
    }
};

QTEST_MAIN(tst_WindowServices)
#include "tst_WindowServices.moc"
