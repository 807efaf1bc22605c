// The file selection panel of the main window on real folders: selection
// buttons, the pattern box, the lists following one another, refresh, free
// space and drives that are gone.

#include <QComboBox>
#include <cstdio>

#include "MainWindowFixture.h"
#include "shared/Valiable.h"

using zv::qt::QtMessageBox;
using zvtest::MainWindowFixture;

namespace {

const QString kNotReady = QStringLiteral("ファイルを選択して下さい。");

struct Panel : MainWindowFixture {
    explicit Panel(const QStringList& files = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        : MainWindowFixture(Real{}, files) {}
    QList<int> SelectedRows() const {
        QList<int> out;
        for (int i = 0; i < window->F_File->listCount(); ++i)
            if (window->F_File->selected(i)) out << i;
        return out;
    }
    // Copy and move go together.
    bool CopyMoveEnabled() const {
        const bool on = window->Opt_Cpymov[0]->isEnabled();
        return on == window->Opt_Cpymov[1]->isEnabled() ? on : throw std::logic_error("options differ");
    }
    void Click(const QString& button) { Find<QAbstractButton>(button)->click(); }
    // Typed as the user types: to whichever widget has the keyboard focus.
    void TypePattern(const QString& text) {
        if (!window->isActiveWindow()) Show();
        window->Cmb_Filter->setFocus();
        window->Cmb_Filter->lineEdit()->clear();
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
};

}  // namespace

class tst_Frm_Main_FilePanel : public QObject {
    Q_OBJECT
  private slots:
    void selectionButtons_data() {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<int>>("before");  // selected by the user first
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("odd of five") << 5 << QList<int>{1} << "Cmd_OddSelect" << QList<int>{0, 2, 4};
        QTest::newRow("even of four") << 4 << QList<int>{} << "Cmd_EvenSelect" << QList<int>{1, 3};
        // With one row the even button does nothing at all, not even clear.
        QTest::newRow("even of one, selected") << 1 << QList<int>{0} << "Cmd_EvenSelect" << QList<int>{0};
        QTest::newRow("all of none") << 0 << QList<int>{} << "Cmd_AllSelect" << QList<int>{};
        QTest::newRow("clear") << 5 << QList<int>{0, 3} << "Cmd_AllDelete" << QList<int>{};
    }
    void selectionButtons() {
        QFETCH(int, files);
        QFETCH(QList<int>, before);
        QFETCH(QString, button);
        QFETCH(QList<int>, after);
        QStringList names;
        for (int i = 0; i < files; ++i) names << QString("%1.txt").arg(QChar('a' + i));
        Panel p(names);
        QCOMPARE(p.window->F_File->listCount(), files);
        for (int row : before) p.window->F_File->setSelected(row, true);
        p.window->F_File_Click();
        p.Click(button);
        QCOMPARE(p.SelectedRows(), after);
        QCOMPARE(p.Ready(), !after.isEmpty());
        if (after.isEmpty()) QCOMPARE(p.window->Lbl_Msgdsp->text(), kNotReady);
    }

    void enterRemembersEachExactTextOnce() {
        Panel p({"a.txt", "B.TXT", "c.wav"});
        p.Click("Cmd_AllSelect");
        const int entries = p.window->Cmb_Filter->count();
        p.TypePattern("*.txt");
        QCOMPARE(p.Rows(), (QStringList{"a.txt", "B.TXT"}));
        QCOMPARE(p.SelectedRows(), QList<int>{});
        QVERIFY(p.Ready());  // Enter leaves the run buttons as they were
        p.TypePattern("*.txt");
        p.TypePattern("*.TXT");        // another text, though the same files
        p.TypePattern("*.TXT;*.RTF");  // already a start-up entry
        QCOMPARE(p.window->Cmb_Filter->count(), entries + 2);
        QCOMPARE(p.window->Cmb_Filter->itemText(entries), "*.txt");
        QCOMPARE(p.window->Cmb_Filter->itemText(entries + 1), "*.TXT");
        QCOMPARE(p.window->F_File->pattern(), "*.TXT;*.RTF");
    }

    void pickingAPatternFromTheListDisablesTheRunButtons() {
        Panel p({"a.wav", "b.MID", "c.txt", "d.mp3"});
        p.Click("Cmd_AllSelect");
        QVERIFY(p.Ready());
        for (int i = 0; i < 3; ++i) QTest::keyClick(p.window->Cmb_Filter, Qt::Key_Down);  // to the fourth entry
        QCOMPARE(p.window->Cmb_Filter->currentText(), "*.WAV;*.MID");
        QCOMPARE(p.Rows(), (QStringList{"a.wav", "b.MID"}));
        QVERIFY(!p.Ready());
        QCOMPARE(p.window->Lbl_Msgdsp->text(), kNotReady);
    }

    void destinationFollowsTheSourceAndCopyMoveNeedsAnotherFolder() {
        Panel p;
        p.Click("Cmd_AllSelect");
        QCOMPARE(p.window->F_Dir->setPath(p.src + "/sub"), zv::kFsOk);
        QCOMPARE(p.window->A_Dir->path(), p.src + "/sub");
        QCOMPARE(p.window->F_File->path(), p.src + "/sub");
        QVERIFY(!p.CopyMoveEnabled());
        QVERIFY(!p.Ready());  // a folder change resets the selection state
        QDir().mkpath(p.src + "/sub/deeper");
        for (const QString& dest : {p.src + "/sub/deeper", p.src + "/sub"}) {
            QCOMPARE(p.window->A_Dir->setPath(dest), zv::kFsOk);
            QCOMPARE(p.CopyMoveEnabled(), dest != p.window->F_Dir->path());
        }
        QCOMPARE(p.window->F_Dir->path(), p.src + "/sub");  // the source never follows the destination
    }

    void sourceDriveTakesTheDestinationAlong() {
        Panel p;
        QCOMPARE(p.window->F_Drive->setDrive(p.Stick()), zv::kFsOk);
        QCOMPARE(p.window->F_Dir->path(), p.mnt);
        QCOMPARE(p.window->A_Drive->drive(), p.Stick());
        QCOMPARE(p.window->A_Dir->path(), p.mnt);
        QVERIFY(!p.CopyMoveEnabled());
        QVERIFY(!Valiable::DestDriveSync);
        // Back on the home drive the source folder is where it was left.
        QCOMPARE(p.window->F_Drive->setDrive(p.home), zv::kFsOk);
        QCOMPARE(p.window->F_Dir->path(), p.src);
        QCOMPARE(p.window->A_Dir->path(), p.src);
    }

    void goneDriveFallsBackSilently_data() {
        QTest::addColumn<bool>("source");
        QTest::addColumn<bool>("removeFolder");
        QTest::newRow("source, mount point gone") << true << true;
        QTest::newRow("destination, unmounted, folder left") << false << false;
    }
    void goneDriveFallsBackSilently() {
        QFETCH(bool, source);
        QFETCH(bool, removeFolder);
        Panel p;
        p.window->A_Dir->setPath(p.src + "/sub");  // the destination elsewhere than the source
        p.Unmount(removeFolder);
        // Still listed: picked before the list was read again.
        (source ? p.window->F_Drive : p.window->A_Drive)->setDrive(p.Stick());
        QCOMPARE(p.window->F_Drive->drive(), p.home);
        QCOMPARE(p.window->A_Drive->drive(), p.home);
        QCOMPARE(p.window->F_Dir->path(), p.src);
        QCOMPARE(p.window->A_Dir->path(), p.src + "/sub");
        QVERIFY(QtMessageBox::Shown().empty());
        QVERIFY(!Valiable::DestDriveSync);
    }

    void aStickPluggedInMovesNeitherListOffItsDrive() {
        Panel p;
        p.window->A_Drive->setDrive(p.Stick());
        // A volume whose mount point sorts before the stick's: rows move.
        p.volumes.insert(p.volumes.begin() + 1, {p.home + "/0stick", "", "vfat", "/dev/sdc1", true, true});
        QDir().mkpath(p.home + "/0stick");
        p.window->F_Drive->refresh();  // as opening the source list's drop-down does
        for (zv::DriveListBox* list : {p.window->F_Drive, p.window->A_Drive}) {
            QCOMPARE(list->count(), p.drives->Count());
            QCOMPARE(list->currentText(), list->drive());
        }
        QCOMPARE(p.window->A_Drive->drive(), p.Stick());
        QCOMPARE(p.window->F_Drive->drive(), p.home);
    }

    void refreshShowsNewFilesClearsTheSelectionAndShowsFreeSpace() {
        Panel p({"b.txt"});
        p.Click("Cmd_AllSelect");
        Panel::Write(p.src + "/a.txt");
        QDir().mkpath(p.src + "/newsub");
        p.Click("Cmd_Newfile");
        QCOMPARE(p.Rows(), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(p.SelectedRows(), QList<int>{});
        QVERIFY(!p.Ready());
        QStringList folders;
        for (int i = 0; i < p.window->F_Dir->listCount(); ++i) folders << p.window->F_Dir->rowPath(i);
        QVERIFY(folders.contains(p.src + "/newsub"));
        QCOMPARE(p.window->A_Drive->toolTip(), "空き容量: 1,500MB");
    }

    void theRunSeesTheRealNameOfABadlyEncodedFile() {
        Panel p(QStringList{});
        const QByteArray raw = QFile::encodeName(p.src) + "/bad\x80.txt";
        FILE* fp = std::fopen(raw.constData(), "w");
        QVERIFY(fp);
        std::fclose(fp);
        p.Click("Cmd_Newfile");
        QCOMPARE(p.window->FileCount(), 1);
        QCOMPARE(p.window->FileName(0), u"bad\xDC80.txt");
        QCOMPARE(p.window->F_File->shownText(0), QString::fromUtf16(u"bad\uFFFD.txt"));
        std::remove(raw.constData());  // beyond what the temporary folder's clean-up can name
    }
};

QTEST_MAIN(tst_Frm_Main_FilePanel)
#include "tst_Frm_Main_FilePanel.moc"
