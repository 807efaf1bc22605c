#pragma once
// A main window over a fake file system and a fixed clock, with message boxes
// answered instead of shown and beeps counted.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <map>
#include <memory>
#include <vector>

#include "mainwindow/FileListBox.h"
#include "mainwindow/Frm_Main.h"
#include "mainwindow/Frm_Wait.h"
#include "mainwindow/UpDownControl.h"
#include "shared/qt/QtMessageBox.h"
#include "shared/qt/SystemBeep.h"

namespace zvtest {

// Holds named folders of file names. These tests never change files: every
// change is refused, and the name lookup sees the listed names.
class FakeFileSystem final : public zv::FileSystem {
  public:
    std::map<std::u16string, std::vector<std::u16string>> folders;

    std::vector<std::u16string> ListFiles(const std::u16string& folder) override {
        auto it = folders.find(Strip(folder));
        return it == folders.end() ? std::vector<std::u16string>{} : it->second;
    }
    // The named folders directly below `folder`.
    std::vector<std::u16string> ListFolders(const std::u16string& folder) override {
        std::u16string prefix = Strip(folder);
        if (prefix.back() != zv::kPathSeparator) prefix += zv::kPathSeparator;
        std::vector<std::u16string> names;
        for (const auto& [path, files] : folders) {
            if (path.size() > prefix.size() && path.starts_with(prefix) &&
                path.find(zv::kPathSeparator, prefix.size()) == std::u16string::npos)
                names.push_back(path.substr(prefix.size()));
        }
        return names;
    }
    std::unique_ptr<zv::NameLookup> OpenNameLookup(const std::u16string& folder) override {
        struct Lookup final : zv::NameLookup {
            std::vector<std::u16string> names;
            bool Exists(const std::u16string& n) const override {
                return std::find(names.begin(), names.end(), n) != names.end();
            }
        };
        auto lookup = std::make_unique<Lookup>();
        lookup->names = ListFiles(folder);
        return lookup;
    }
    bool FileExists(const std::u16string&) override { return false; }
    bool FolderExists(const std::u16string& path) override { return folders.count(Strip(path)) != 0; }
    zv::FsResult Rename(const std::u16string&, const std::u16string& to) override {
        return {zv::kFsGeneric, to};
    }
    zv::FsResult Copy(const std::u16string&, const std::u16string& to) override {
        return {zv::kFsGeneric, to};
    }
    zv::FsResult SetLastWriteTime(const std::u16string& p, const zv::LocalDateTime&) override {
        return {zv::kFsGeneric, p};
    }
    zv::FsResult SetAttributes(const std::u16string& p, int) override { return {zv::kFsGeneric, p}; }
    int GetAttributes(const std::u16string&) override { return 0; }
    zv::FsResult MakeDirectory(const std::u16string& p) override { return {zv::kFsGeneric, p}; }

  private:
    static std::u16string Strip(std::u16string folder) {
        while (folder.size() > 1 && folder.back() == zv::kPathSeparator) folder.pop_back();
        return folder;
    }
};

// Records, at every event-pump call, whether either run button could be clicked.
class WatchingPump final : public zv::EventPump {
  public:
    zv::Frm_Main* window = nullptr;
    int calls = 0;
    int callsWithRunButtonsOn = 0;
    void DoEvents() override {
        ++calls;
        if (window && (window->Cmd_Test->isEnabled() || window->Cmd_Run->isEnabled()))
            ++callsWithRunButtonsOn;
    }
};

struct MainWindowFixture {
    // 09:05:03 on 7 March 2024.
    zv::FixedClock clock{zv::LocalDateTime{2024, 3, 7, 9, 5, 3}};
    FakeFileSystem files;
    zv::qt::QtMessageBox messages;
    WatchingPump pump;
    std::unique_ptr<zv::Frm_Main> window;
    int beeps = 0;

    explicit MainWindowFixture(std::vector<std::u16string> startFiles = {u"a.txt", u"b.txt", u"c.txt"}) {
        files.folders[u"/data"] = std::move(startFiles);
        zv::qt::QtMessageBox::SetAnswering(true);
        zv::qt::QtMessageBox::ClearShown();
        zv::qt::SetBeepHook([this] { ++beeps; });
        window = std::make_unique<zv::Frm_Main>(zv::Frm_Main::Services{messages, pump, clock, files},
                                                QStringLiteral("/data"));
        pump.window = window.get();
    }
    ~MainWindowFixture() {
        window.reset();
        zv::qt::SetBeepHook({});
        zv::qt::QtMessageBox::SetAnswering(false);
    }

    // Selects the given rows of F_File the way a click does.
    void Select(std::initializer_list<int> rows) {
        for (int r : rows) window->F_File->setSelected(r, true);
        window->F_File_Click();
    }
    template <typename T = QWidget>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
};

}  // namespace zvtest
