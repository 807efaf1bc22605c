// Placement rules of the windows, without a window: centring and twips.

#include <QTest>

#include "mainwindow/MainWindowRules.h"

using namespace zv;

class tst_MainWindowRules : public QObject {
    Q_OBJECT
  private slots:
    void centring_data() {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("own");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("odd height difference")
            << QRect(100, 50, 640, 420) << QSize(230, 61) << QPoint(305, 229);
        QTest::newRow("owner off the left edge")
            << QRect(-300, -20, 640, 420) << QSize(230, 61) << QPoint(-95, 159);
        // Larger than the owner: the negative half truncates toward zero.
        QTest::newRow("larger than owner") << QRect(10, 10, 100, 40) << QSize(231, 61) << QPoint(-55, 0);
    }
    void centring() {
        QFETCH(QRect, owner);
        QFETCH(QSize, own);
        QFETCH(QPoint, expected);
        const Point p =
            CentredOver(owner.x(), owner.y(), owner.width(), owner.height(), own.width(), own.height());
        QCOMPARE(QPoint(p.x, p.y), expected);
    }

    void twips_data() {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("client width at 96 dpi") << 96.0 << 9570 << 638;
        QTest::newRow("client height at 144 dpi") << 144.0 << 5925 << 593;
        QTest::newRow("fraction rounds to nearest") << 96.0 << 23 << 2;
        QTest::newRow("no dpi falls back to 96") << 0.0 << 1440 << 96;
    }
    void twips() {
        QFETCH(double, dpi);
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(TwipScale(dpi).ToPixels(twips), pixels);
    }
};

QTEST_APPLESS_MAIN(tst_MainWindowRules)
#include "tst_MainWindowRules.moc"
