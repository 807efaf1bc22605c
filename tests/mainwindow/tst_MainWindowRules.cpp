// The rules behind the main window's controls, without a window.

#include <QTest>

#include "mainwindow/MainWindowRules.h"

using namespace zv;

class tst_MainWindowRules : public QObject {
    Q_OBJECT
  private slots:
    void incrementSteps_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("up");
        QTest::addColumn<int>("down");
        QTest::newRow("middle") << 5 << 6 << 4;
        QTest::newRow("top wraps to bottom going up") << 100 << -100 << 99;
        QTest::newRow("bottom wraps to top going down") << -100 << -99 << 100;
        QTest::newRow("one skips zero going down") << 1 << 2 << -1;
        QTest::newRow("minus one skips zero going up") << -1 << 1 << -2;
        // A caption that is no number reads as 0: the next step leaves 0 too.
        QTest::newRow("unreadable caption") << 0 << 1 << -1;
    }
    void incrementSteps() {
        QFETCH(int, from);
        QFETCH(int, up);
        QFETCH(int, down);
        QCOMPARE(IncrementUp(static_cast<std::int16_t>(from)), up);
        QCOMPARE(IncrementDown(static_cast<std::int16_t>(from)), down);
    }

    void incrementNeverZeroAndCyclesThroughAll200() {
        std::int16_t n = 1;
        QSet<int> seen;
        for (int i = 0; i < 200; ++i) {
            QVERIFY(n != 0);
            seen.insert(n);
            n = IncrementUp(n);
        }
        QCOMPARE(n, std::int16_t{1});
        QCOMPARE(seen.size(), 200);
        for (int i = 0; i < 200; ++i) n = IncrementDown(n);
        QCOMPARE(n, std::int16_t{1});
    }

    void parseCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << "42" << 42;
        QTest::newRow("negative") << "-100" << -100;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("lone minus") << "-" << 0;
        QTest::newRow("letters") << "1a" << 0;
        QTest::newRow("too large for 16 bits") << "40000" << 0;
        QTest::newRow("smallest 16-bit") << "-32768" << -32768;
    }
    void parseCaption() {
        QFETCH(QString, caption);
        QFETCH(int, value);
        QCOMPARE(ParseCaptionInt(caption.toStdU16String()), value);
    }

    void digitFilter_data() {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("kept");
        QTest::newRow("0") << int('0') << int('0');
        QTest::newRow("9") << int('9') << int('9');
        QTest::newRow("backspace") << 8 << 8;
        QTest::newRow("letter") << int('a') << 0;
        QTest::newRow("minus") << int('-') << 0;
        QTest::newRow("plus") << int('+') << 0;
        QTest::newRow("enter") << 13 << 0;
        QTest::newRow("ctrl+v") << 22 << 0;
        QTest::newRow("full-width one") << 0xFF11 << 0;
        QTest::newRow("slash below 0") << int('/') << 0;
        QTest::newRow("colon above 9") << int(':') << 0;
    }
    void digitFilter() {
        QFETCH(int, code);
        QFETCH(int, kept);
        int beeps = 0;
        QCOMPARE(int(FilterDigitKey(static_cast<char16_t>(code), [&] { ++beeps; })), kept);
        QCOMPARE(beeps, kept == 0 ? 1 : 0);
    }

    void guidance_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QString>("text");
        const QString tail =
            QStringLiteral("、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）");
        QTest::newRow("numbering ready")
            << int(JobMode::Numbering) << true << QStringLiteral("連番を設定して") + tail;
        QTest::newRow("append ready")
            << int(JobMode::Append) << true << QStringLiteral("固定文字列を設定して") + tail;
        QTest::newRow("replace ready")
            << int(JobMode::Replace) << true << QStringLiteral("検索文字列を設定して") + tail;
        for (int m = 0; m < 3; ++m) {
            QTest::addRow("mode %d not ready", m)
                << m << false << QStringLiteral("ファイルを選択して下さい。");
        }
    }
    void guidance() {
        QFETCH(int, mode);
        QFETCH(bool, ready);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdU16String(GuidanceFor(static_cast<JobMode>(mode), ready)), text);
    }

    void centring_data() {
        QTest::addColumn<QRect>("owner");
        QTest::addColumn<QSize>("own");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("odd height difference")
            << QRect(100, 50, 640, 420) << QSize(230, 61) << QPoint(305, 229);
        QTest::newRow("odd differences truncate")
            << QRect(0, 0, 641, 421) << QSize(230, 60) << QPoint(205, 180);
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
        QTest::newRow("client height at 96 dpi") << 96.0 << 5925 << 395;
        QTest::newRow("client width at 120 dpi") << 120.0 << 9570 << 798;
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
