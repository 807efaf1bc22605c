#pragma once
// A main window over a fixed clock, with message boxes answered instead of
// shown and beeps counted: by default over folders in memory (the start
// folder /data holding a.txt b.txt c.txt), or over real folders in a
// temporary tree with pretended volumes a test can take away and settings
// in a temporary store, started as the program starts:
//   home/src (the start folder, holding the given files), home/src/sub,
//   home/prog (the program folder), mnt/music on the volume "STICK".

#include <QtTest>
#include <QtWidgets>
#include <optional>
#include <stdexcept>

#include "TempConfigHome.h"
#include "engine/EngineFakes.h"
#include "mainwindow/DirListBox.h"
#include "mainwindow/DriveListBox.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/Frm_Main.h"
#include "mainwindow/Frm_Wait.h"
#include "mainwindow/UpDownControl.h"
#include "shared/SettingsStore.h"
#include "shared/qt/QtMessageBox.h"
#include "shared/qt/SystemBeep.h"

namespace zvtest {

// Records, at every event-pump call, whether either run button could be
// clicked, and does what a test wants done while a run works.
class WatchingPump final : public zv::EventPump {
  public:
    zv::Frm_Main* window = nullptr;
    int callsWithRunButtonsOn = 0;
    std::function<void()> during;
    void DoEvents() override {
        if (window && (window->Cmd_Test->isEnabled() || window->Cmd_Run->isEnabled()))
            ++callsWithRunButtonsOn;
        if (during) during();
    }
};

struct MainWindowFixture {
    // 09:05:03 on 7 March 2024.
    zv::FixedClock clock{zv::LocalDateTime{2024, 3, 7, 9, 5, 3}};
    zv::test::FakeFileSystem files;
    zv::qt::QtMessageBox messages;
    WatchingPump pump;
    std::optional<zv::test::TempConfigHome> config;
    QTemporaryDir tmp;
    QString home, src, prog, mnt;
    std::vector<zv::VolumeInfo> volumes;
    std::unique_ptr<zv::DriveModel> drives;
    std::unique_ptr<zv::Frm_Main> window;
    int beeps = 0;

    MainWindowFixture() {
        files.Put(u"/data", {u"a.txt", u"b.txt", u"c.txt"});
        Init();
        Open(QStringLiteral("/data"));
    }
    struct Real {};
    // Without `load` the window is open on the start folder, not loaded.
    explicit MainWindowFixture(Real, const QStringList& startFiles = {"a.txt", "b.txt", "c.txt"},
                               bool load = true) {
        config.emplace();
        home = tmp.path() + "/home", src = home + "/src", prog = home + "/prog", mnt = tmp.path() + "/mnt";
        for (const QString& d : {src + "/sub", prog, mnt + "/music"}) QDir().mkpath(d);
        for (const QString& f : startFiles) Write(src + "/" + f);
        volumes = {{"/", "", "ext4", "/dev/sda1"}, {mnt, "STICK", "vfat", "/dev/sdb1"}};
        Init();
        if (load) zv::SaveSetting(u"Zorvik", u"Setting", u"PATH", src.toStdU16String());
        Open(load ? prog : src);
        if (load) window->Form_Load(prog);
    }
    ~MainWindowFixture() {
        window.reset();
        zv::qt::SetBeepHook({});
        zv::qt::QtMessageBox::SetAnswering(false);
    }
    // A fresh window on `folder`, over a fresh list of the volumes, not yet
    // started as the program starts it (Form_Load).
    void Open(const QString& folder) {
        window.reset();
        if (config)  // real folders: 1,500 MB free on every volume
            drives = std::make_unique<zv::DriveModel>(
                home, [this] { return volumes; }, [](const QString&) { return qint64(1572864000); });
        zv::FileSystem& fs = config ? zv::NativeFileSystem() : files;
        window = std::make_unique<zv::Frm_Main>(
            zv::Frm_Main::Services{messages, pump, clock, fs, drives.get()}, folder);
        pump.window = window.get();
        messages.SetParent(window.get());
    }
    bool Show() {
        window->show();
        QApplication::setActiveWindow(window.get());
        return QTest::qWaitForWindowActive(window.get());
    }
    static bool Write(const QString& path) { return QFile(path).open(QIODevice::WriteOnly); }
    QString Stick() const { return mnt + " [STICK]"; }
    void Unmount(bool removeFolder) {
        std::erase_if(volumes, [&](const zv::VolumeInfo& v) { return v.rootPath == mnt; });
        if (removeFolder) QDir(mnt).removeRecursively();
    }

    // Selects the given rows of F_File the way a click does.
    void Select(const QList<int>& rows) {
        for (int r : rows) window->F_File->setSelected(r, true);
        window->F_File_Click();
    }
    QStringList Rows() const {
        QStringList out;
        for (int i = 0; i < window->F_File->listCount(); ++i) out << window->F_File->list(i);
        return out;
    }
    QStringList Results() const {
        QStringList out;
        for (int i = 0; i < window->Lst_Kekka->count(); ++i) out << window->Lst_Kekka->item(i)->text();
        return out;
    }
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
    void Click(const QString& button) { window->findChild<QAbstractButton*>(button)->click(); }
    bool Ready() const { return window->Cmd_Test->isEnabled() && window->Cmd_Run->isEnabled(); }

  private:
    void Init() {
        zv::qt::QtMessageBox::SetAnswering(true);
        zv::qt::QtMessageBox::ClearShown();
        zv::qt::SetBeepHook([this] { ++beeps; });
    }
};

}  // namespace zvtest
