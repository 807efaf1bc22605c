// The progress window: where it opens, its phases, and the wait pointer.

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "mainwindow/Frm_Wait.h"

using zv::Frm_Wait;

class tst_Frm_Wait : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        // A failed test must not leave a pointer behind for the next.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    void waitPointerOnlyWhileOpen() {
        QWidget owner;
        Frm_Wait wait(&owner);
        QVERIFY(!QApplication::overrideCursor());
        wait.Open();
        QVERIFY(wait.IsOpen());
        QVERIFY(wait.isVisible());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Opening twice must not stack a second pointer that one close leaves.
        wait.Open();
        wait.SetPhase(u"チェック中");
        QCOMPARE(wait.Lbl_Now->text(), QStringLiteral("チェック中"));
        wait.Close();
        QVERIFY(!wait.IsOpen());
        QVERIFY(!wait.isVisible());
        QVERIFY(!QApplication::overrideCursor());
        wait.Close();  // harmless when closed
        QVERIFY(!QApplication::overrideCursor());
    }

    void progressRowGrowsTheWindowAndCancels() {
        QWidget owner;
        owner.setGeometry(100, 100, 600, 400);
        Frm_Wait wait(&owner);
        wait.Open();
        const QSize small = wait.size();
        QVERIFY(!wait.Prg_Rows->isVisibleTo(&wait));
        QVERIFY(!wait.Cmd_Cancel->isVisibleTo(&wait));

        wait.ShowProgress(3, 10, true);
        QCOMPARE(wait.width(), small.width());
        QVERIFY(wait.height() > small.height());
        QVERIFY(wait.Prg_Rows->isVisibleTo(&wait));
        QCOMPARE(wait.Prg_Rows->value(), 3);
        QCOMPARE(wait.Prg_Rows->maximum(), 10);
        QCOMPARE(wait.Cmd_Cancel->text(), QStringLiteral("中止"));
        // Still centred over the owner with its new height.
        const QRect o = owner.frameGeometry();
        QCOMPARE(wait.y(), o.y() + (o.height() - wait.height()) / 2);
        QCOMPARE(wait.Label1->text(), QStringLiteral("しばらくお待ち下さい。"));

        QVERIFY(!wait.CancelRequested());
        QTest::mouseClick(wait.Cmd_Cancel, Qt::LeftButton);
        QVERIFY(wait.CancelRequested());
        QVERIFY(!wait.Cmd_Cancel->isEnabled());
        QCOMPARE(QApplication::overrideCursor() != nullptr, true);

        // The next run starts small and without a pending cancel.
        wait.Close();
        QVERIFY(!QApplication::overrideCursor());
        wait.Open();
        QCOMPARE(wait.size(), small);
        QVERIFY(!wait.CancelRequested());
        wait.ShowProgress(0, 5, false);
        QVERIFY(!wait.Cmd_Cancel->isEnabled());
        wait.Close();
    }

    void destroyedWhileOpenRestoresPointer() {
        QWidget owner;
        {
            Frm_Wait wait(&owner);
            wait.Open();
        }
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(tst_Frm_Wait)
#include "tst_Frm_Wait.moc"
