// The file selection panel of the main window on real folders: selection
// buttons, the pattern box, the lists following one another, refresh, free
// space and drives that are gone.

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"
#include "mainwindow/DriveModel.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/Frm_Main.h"
#include "shared/EventPump.h"
#include "shared/FileSystem.h"
#include "shared/Valiable.h"
#include "shared/qt/QtMessageBox.h"

using zv::qt::QtMessageBox;

namespace {

const QString kNotReady = QStringLiteral("ファイルを選択して下さい。");

// A home folder holding the source folder "src", and one more volume "mnt",
// all inside a temporary folder. The volume's mounting is pretended, so a
// test can take it away.
struct Panel {
    QTemporaryDir tmp;
    QString home, src, mnt;
    std::vector<zv::VolumeInfo> volumes;
    qint64 freeBytes = 1572864000;
    std::unique_ptr<zv::DriveModel> drives;
    zv::FixedClock clock{zv::LocalDateTime{2024, 3, 7, 9, 5, 3}};
    zv::NullEventPump pump;
    QtMessageBox messages;
    std::unique_ptr<zv::Frm_Main> window;

    explicit Panel(const QStringList& files = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
        home = tmp.path() + "/home";
        src = home + "/src";
        mnt = tmp.path() + "/mnt";
        QDir().mkpath(src + "/sub/deeper");
        QDir().mkpath(mnt + "/music");
        for (const QString& f : files) Touch(src + "/" + f);
        volumes = {{"/", "", "ext4", "/dev/sda1", true, true},
                   {mnt, "STICK", "vfat", "/dev/sdb1", true, true}};
        drives = std::make_unique<zv::DriveModel>(
            home, [this] { return volumes; }, [this](const QString&) { return freeBytes; });
        QtMessageBox::SetAnswering(true);
        QtMessageBox::ClearShown();
        window = std::make_unique<zv::Frm_Main>(
            zv::Frm_Main::Services{messages, pump, clock, zv::NativeFileSystem(), drives.get()}, src);
        // The entries the window's start-up puts into the pattern list.
        for (const char* p : {"*.*", "*.BMP;*.JPG;*.WMF;*.GIF;*.ICO", "*.TXT;*.RTF", "*.WAV;*.MID"})
            window->Cmb_Filter->addItem(QString::fromLatin1(p));
        window->Cmb_Filter->setEditText("*.*");
    }
    ~Panel() {
        window.reset();
        QtMessageBox::SetAnswering(false);
    }
    static void Touch(const QString& path) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QString MountText() const { return mnt + " [STICK]"; }
    void Unmount(bool removeFolder) {
        std::erase_if(volumes, [&](const zv::VolumeInfo& v) { return v.rootPath == mnt; });
        if (removeFolder) QDir(mnt).removeRecursively();
    }
    QStringList Rows() const {
        QStringList out;
        for (int i = 0; i < window->F_File->listCount(); ++i) out << window->F_File->list(i);
        return out;
    }
    QList<int> SelectedRows() const {
        QList<int> out;
        for (int i = 0; i < window->F_File->listCount(); ++i)
            if (window->F_File->selected(i)) out << i;
        return out;
    }
    bool Ready() const { return window->Cmd_Test->isEnabled() && window->Cmd_Run->isEnabled(); }
    bool CopyMoveEnabled() const {
        const bool on = window->Opt_Cpymov[0]->isEnabled();
        return on == window->Opt_Cpymov[1]->isEnabled() ? on : throw std::logic_error("options differ");
    }
    void Click(const char* button) { window->findChild<QAbstractButton*>(button)->click(); }
    // Typed as the user types: to whichever widget has the keyboard focus.
    void TypePattern(const QString& text) {
        if (!window->isActiveWindow()) {
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
        }
        window->Cmb_Filter->setFocus();
        window->Cmb_Filter->lineEdit()->clear();
        QWidget* focused = QApplication::focusWidget();
        QVERIFY(focused);
        QTest::keyClicks(focused, text);
        QTest::keyClick(focused, Qt::Key_Return);
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
        QTest::addColumn<bool>("ready");
        QTest::newRow("odd of five") << 5 << QList<int>{1} << "Cmd_OddSelect" << QList<int>{0, 2, 4} << true;
        QTest::newRow("even of four") << 4 << QList<int>{} << "Cmd_EvenSelect" << QList<int>{1, 3} << true;
        // With one row the even button does nothing at all, not even clear.
        QTest::newRow("even of one, selected")
            << 1 << QList<int>{0} << "Cmd_EvenSelect" << QList<int>{0} << true;
        QTest::newRow("all of none") << 0 << QList<int>{} << "Cmd_AllSelect" << QList<int>{} << false;
        QTest::newRow("clear") << 5 << QList<int>{0, 3} << "Cmd_AllDelete" << QList<int>{} << false;
    }
    void selectionButtons() {
        QFETCH(int, files);
        QFETCH(QList<int>, before);
        QFETCH(QString, button);
        QFETCH(QList<int>, after);
        QFETCH(bool, ready);
        QStringList names;
        for (int i = 0; i < files; ++i) names << QString("%1.txt").arg(QChar('a' + i));
        Panel p(names);
        QCOMPARE(p.window->F_File->listCount(), files);
        for (int row : before) p.window->F_File->setSelected(row, true);
        p.window->F_File_Click();
        p.Click(button.toLatin1().constData());
        QCOMPARE(p.SelectedRows(), after);
        QCOMPARE(p.Ready(), ready);
        if (!ready) QCOMPARE(p.window->Lbl_Msgdsp->text(), kNotReady);
    }

    void enterRemembersEachExactTextOnce() {
        Panel p({"a.txt", "B.TXT", "c.wav"});
        p.Click("Cmd_AllSelect");
        QVERIFY(p.Ready());
        const int entries = p.window->Cmb_Filter->count();
        p.TypePattern("*.txt");
        QCOMPARE(p.Rows(), (QStringList{"a.txt", "B.TXT"}));
        QCOMPARE(p.SelectedRows(), QList<int>{});
        QVERIFY(p.Ready());  // Enter leaves the run buttons as they were
        p.TypePattern("*.txt");
        QCOMPARE(p.window->Cmb_Filter->count(), entries + 1);
        p.TypePattern("*.TXT");  // another text, though the same files
        QCOMPARE(p.window->Cmb_Filter->count(), entries + 2);
        QCOMPARE(p.window->Cmb_Filter->itemText(entries), QStringLiteral("*.txt"));
        QCOMPARE(p.window->Cmb_Filter->itemText(entries + 1), QStringLiteral("*.TXT"));
        p.TypePattern("*.TXT;*.RTF");  // already a start-up entry
        QCOMPARE(p.window->Cmb_Filter->count(), entries + 2);
        QCOMPARE(p.window->F_File->pattern(), QStringLiteral("*.TXT;*.RTF"));
    }

    void pickingAPatternFromTheListDisablesTheRunButtons() {
        Panel p({"a.wav", "b.MID", "c.txt", "d.mp3"});
        p.Click("Cmd_AllSelect");
        QVERIFY(p.Ready());
        QComboBox* box = p.window->Cmb_Filter;
        for (int i = 0; i < 3; ++i) QTest::keyClick(box, Qt::Key_Down);  // to the fourth entry
        QCOMPARE(box->currentText(), QStringLiteral("*.WAV;*.MID"));
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
        QCOMPARE(p.window->A_Dir->setPath(p.src + "/sub/deeper"), zv::kFsOk);
        QVERIFY(p.CopyMoveEnabled());
        QCOMPARE(p.window->A_Dir->setPath(p.src + "/sub"), zv::kFsOk);
        QVERIFY(!p.CopyMoveEnabled());
        QCOMPARE(p.window->F_Dir->path(), p.src + "/sub");  // the source never follows the destination
    }

    void sourceDriveTakesTheDestinationAlong() {
        Panel p;
        QCOMPARE(p.window->F_Drive->setDrive(p.MountText()), zv::kFsOk);
        QCOMPARE(p.window->F_Dir->path(), p.mnt);
        QCOMPARE(p.window->A_Drive->drive(), p.MountText());
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
        zv::DriveListBox* drive = source ? p.window->F_Drive : p.window->A_Drive;
        drive->setDrive(p.MountText());  // still listed: picked before the list was read again
        QCOMPARE(p.window->F_Drive->drive(), p.home);
        QCOMPARE(p.window->A_Drive->drive(), p.home);
        QCOMPARE(p.window->F_Dir->path(), p.src);
        QCOMPARE(p.window->A_Dir->path(), p.src + "/sub");
        QVERIFY(QtMessageBox::Shown().empty());
        QVERIFY(!Valiable::DestDriveSync);
    }

    void aStickPluggedInMovesNeitherListOffItsDrive() {
        Panel p;
        p.window->A_Drive->setDrive(p.MountText());
        const QString destination = p.window->A_Drive->drive();
        // A volume whose mount point sorts before the stick's: rows move.
        p.volumes.insert(p.volumes.begin() + 1, {p.home + "/0stick", "", "vfat", "/dev/sdc1", true, true});
        QDir().mkpath(p.home + "/0stick");
        p.window->F_Drive->refresh();  // as opening the source list's drop-down does
        for (zv::DriveListBox* list : {p.window->F_Drive, p.window->A_Drive}) {
            QCOMPARE(list->count(), p.drives->Count());
            QCOMPARE(list->currentText(), list->drive());
        }
        QCOMPARE(p.window->A_Drive->drive(), destination);
        QCOMPARE(p.window->F_Drive->drive(), p.home);
    }

    void refreshShowsNewFilesClearsTheSelectionAndShowsFreeSpace() {
        Panel p({"b.txt"});
        p.Click("Cmd_AllSelect");
        Panel::Touch(p.src + "/a.txt");
        QDir().mkpath(p.src + "/newsub");
        p.Click("Cmd_Newfile");
        QCOMPARE(p.Rows(), (QStringList{"a.txt", "b.txt"}));
        QCOMPARE(p.SelectedRows(), QList<int>{});
        QVERIFY(!p.Ready());
        bool listed = false;
        for (int i = 0; i < p.window->F_Dir->listCount(); ++i)
            listed |= p.window->F_Dir->rowPath(i) == p.src + "/newsub";
        QVERIFY(listed);
        QCOMPARE(p.window->A_Drive->toolTip(), QStringLiteral("空き容量: 1,500MB"));
    }

    void theRunSeesTheRealNameOfABadlyEncodedFile() {
        Panel p(QStringList{});
        const QByteArray raw = QFile::encodeName(p.src) + "/bad\x80.txt";
        FILE* fp = std::fopen(raw.constData(), "w");
        QVERIFY(fp);
        std::fclose(fp);
        p.Click("Cmd_Newfile");
        QCOMPARE(p.window->FileCount(), 1);
        QCOMPARE(p.window->FileName(0), std::u16string(u"bad\xDC80.txt"));
        QCOMPARE(p.window->F_File->shownText(0), QString::fromUtf16(u"bad\uFFFD.txt"));
        std::remove(raw.constData());  // beyond what the temporary folder's clean-up can name
    }
};

QTEST_MAIN(tst_Frm_Main_FilePanel)
#include "tst_Frm_Main_FilePanel.moc"
