// The progress window: where it opens, its phases, and the wait pointer.

#include <QApplication>
#include <QLabel>
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
