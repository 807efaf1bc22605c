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

    void sizeAndTexts() {
        QWidget owner;
        Frm_Wait wait(&owner, zv::TwipScale(96));
        QCOMPARE(wait.size(), QSize(230, 61));
        QVERIFY(wait.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(wait.isWindow());
        QVERIFY(!wait.parentWidget());
        QCOMPARE(wait.Label1->text(), QStringLiteral("しばらくお待ち下さい。"));
        QCOMPARE(wait.Lbl_Now->text(), QStringLiteral("変換中"));
    }

    void centredOverOwner_data() {
        QTest::addColumn<QRect>("ownerGeometry");
        QTest::newRow("top left") << QRect(0, 0, 640, 420);
        QTest::newRow("odd size") << QRect(137, 91, 641, 423);
    }
    void centredOverOwner() {
        QFETCH(QRect, ownerGeometry);
        QWidget owner;
        owner.setGeometry(ownerGeometry);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        Frm_Wait wait(&owner, zv::TwipScale(96));
        wait.Open();
        const QRect o = owner.frameGeometry();
        QCOMPARE(wait.pos(),
                 QPoint(o.x() + (o.width() - wait.width()) / 2, o.y() + (o.height() - wait.height()) / 2));
        wait.Close();
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
