// What the windows stand on: placement rules, the progress window with its
// wait pointer, and the real message box.

#include <gtest/gtest.h>

#include <QtTest>
#include <QtWidgets>

#include "QtPrinters.h"
#include "mainwindow/Frm_Wait.h"
#include "mainwindow/MainWindowRules.h"
#include "shared/qt/JapaneseUi.h"
#include "shared/qt/QtMessageBox.h"

namespace {

using zv::Frm_Wait;

// Centred over the owner: an odd height difference, and a window larger
// than its owner (the negative half truncates toward zero). Twips: the
// client height at 144 dpi, a fraction rounding to the nearest, and no dpi
// falling back to 96.
TEST(WindowServices, Placement) {
    for (const auto& [o, own, expected] :
         {std::tuple{QRect(100, 50, 640, 420), QSize(230, 61), QPoint(305, 229)},
          {QRect(10, 10, 100, 40), QSize(231, 61), QPoint(-55, 0)}}) {
        const zv::Point p = zv::CentredOver(o.x(), o.y(), o.width(), o.height(), own.width(), own.height());
        EXPECT_EQ(QPoint(p.x, p.y), expected);
    }
    for (const auto& [dpi, twips, pixels] : {std::tuple{144.0, 5925, 593}, {96.0, 23, 2}, {0.0, 1440, 96}})
        EXPECT_EQ(zv::TwipScale(dpi).ToPixels(twips), pixels) << dpi;
}

// The wait pointer only while the window is open; the progress row grows
// the window, still centred, and cancels once.
TEST(WindowServices, WaitWindow) {
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    {
        Frm_Wait wait(&owner);
        wait.Open();
        EXPECT_TRUE(wait.IsOpen() && wait.isVisible());
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Opening twice must not stack a second pointer that one close leaves.
        wait.Open();
        wait.Close();
        EXPECT_TRUE(!wait.IsOpen() && !wait.isVisible());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);

        wait.Open();
        const QSize small = wait.size();
        wait.ShowProgress(3, 10, true);
        EXPECT_GT(wait.height(), small.height());
        EXPECT_TRUE(wait.Prg_Rows->isVisibleTo(&wait) && wait.Cmd_Cancel->isVisibleTo(&wait));
        EXPECT_EQ(wait.Prg_Rows->value(), 3);
        EXPECT_EQ(wait.Prg_Rows->maximum(), 10);
        const QRect o = owner.frameGeometry();
        EXPECT_EQ(wait.y(), o.y() + (o.height() - wait.height()) / 2);
        QTest::mouseClick(wait.Cmd_Cancel, Qt::LeftButton);
        EXPECT_TRUE(wait.CancelRequested());
        EXPECT_FALSE(wait.Cmd_Cancel->isEnabled());
        // The next run starts small and without a pending cancel.
        wait.Close();
        wait.Open();
        EXPECT_EQ(wait.size(), small);
        EXPECT_FALSE(wait.CancelRequested());
        wait.ShowProgress(0, 5, false);
        EXPECT_FALSE(wait.Cmd_Cancel->isEnabled());
    }  // destroyed while open
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The real box: Japanese buttons, no icon, and the answer of the button
// pressed; closed without one, a yes/no box answers no.
TEST(WindowServices, MessageBox) {
    ASSERT_TRUE(zv::qt::SetUpJapaneseUi(*qApp));
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
        EXPECT_EQ(zv::qt::QtMessageBox().Show(u"変換処理を開始しますか？", buttons, u"確認"), answer);
        EXPECT_EQ(title, "確認");
        EXPECT_EQ(text, "変換処理を開始しますか？");
        EXPECT_EQ(icon, int(QMessageBox::NoIcon));
        buttonTexts.sort();
        EXPECT_EQ(buttonTexts, shown);
    }
}

}  // namespace
