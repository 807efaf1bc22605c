// The runs as the user starts them: the real main window (offscreen), its
// real file list over real folders, the run buttons clicked.
//
// 1. Test run of 1,024, 8,192 and 32,767 files, from the click until the
//    result list is painted; the time must grow linearly (about 32 from the
//    first to the last) and stay under half a second for the largest.
// 2. Real run renaming 32,767 files in place through the window, from the
//    click to the refreshed file list, against a bare renameat2 loop over
//    as many files in the same folder (target: at most 1.5 times).
//
//   zv_bench_windowrun [folder]     (default: $TMPDIR or /tmp)
#include <fcntl.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BenchSpan.h"
#include "mainwindow/FileListBox.h"
#include "mainwindow/Frm_Main.h"
#include "mainwindow/UpDownControl.h"
#include "shared/qt/QtEventPump.h"
#include "shared/qt/QtMessageBox.h"

namespace {

using zvbench::KeepBest;
using zvbench::Measure;
using zvbench::Span;

std::string Name(const std::string& prefix, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%05d.dat", i);
    return prefix + buf;
}

bool MakeFiles(const std::string& folder, int count) {
    std::filesystem::create_directory(folder);
    for (int i = 1; i <= count; ++i) {
        const int fd = ::open((folder + "/" + Name("A", i)).c_str(), O_CREAT | O_WRONLY | O_EXCL, 0644);
        if (fd < 0) return false;
        ::close(fd);
    }
    return true;
}

// A main window showing `folder` with every file selected and the given
// text before the number.
struct Window {
    zv::qt::QtMessageBox messages;
    zv::qt::QtEventPump events;
    zv::Frm_Main main;
    Window(const std::string& folder)
        : main({messages, events, zv::SystemClock(), zv::NativeFileSystem()},
               QString::fromStdString(folder)) {
        main.show();
        QApplication::processEvents();
    }
    void Prepare(const QString& front) {
        main.Txt_B_text->setText(front);
        main.Chk_keta_lock->setChecked(true);  // five digits, as the files have
        main.UpDown_Keta->SetValue(5);
        main.Cmd_AllSelect->click();
        QApplication::processEvents();
    }
    // From the click until every queued paint is done.
    Span Click(QPushButton* button) {
        return Measure([&] {
            button->click();
            QApplication::processEvents();
        });
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    zv::qt::QtMessageBox::SetAnswering(true);

    const char* tmp = std::getenv("TMPDIR");
    std::string base = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    std::string root = base + "/zvwinbench-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    bool ok = true;
    const auto fail = [&](const char* what) {
        std::fprintf(stderr, "%s\n", what);
        ok = false;
    };

    // 1. Test runs.
    constexpr int kSizes[] = {1024, 8192, 32767};
    constexpr int kTestRounds = 3;
    Span testRun[3];
    for (int s = 0; s < 3 && ok; ++s) {
        const std::string folder = root + "/test" + std::to_string(kSizes[s]);
        if (!MakeFiles(folder, kSizes[s])) {
            fail("could not create the files");
            break;
        }
        Window w(folder);
        w.Prepare(QStringLiteral("T_"));
        for (int round = 0; round < kTestRounds && ok; ++round) {
            zv::qt::QtMessageBox::ClearShown();
            KeepBest(testRun[s], w.Click(w.main.Cmd_Test));
            if (w.main.Lst_Kekka->count() != kSizes[s] || !zv::qt::QtMessageBox::Shown().empty()) {
                for (const auto& m : zv::qt::QtMessageBox::Shown())
                    std::fprintf(stderr, "message: %s\n",
                                 QString::fromStdU16String(m.prompt).toUtf8().constData());
                fail("the test run did not show every new name");
            }
        }
        std::filesystem::remove_all(folder);
    }

    // 2. Real run against the bare loop, alternating which goes first.
    constexpr int kFiles = 32767;
    constexpr int kRealRounds = 4;
    const std::string folder = root + "/real";
    if (ok && !MakeFiles(folder, kFiles)) fail("could not create the files");
    std::string current = "A";
    Span bare, real;
    const auto bareLoop = [&](const std::string& to) {
        KeepBest(bare, Measure([&] {
                     for (int i = 1; i <= kFiles && ok; ++i) {
                         const std::string a = folder + "/" + Name(current, i);
                         const std::string b = folder + "/" + Name(to, i);
                         if (::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_NOREPLACE) != 0)
                             fail("renameat2 failed");
                     }
                 }));
        current = to;
    };
    std::unique_ptr<Window> w;
    const auto realRun = [&](const std::string& to) {
        if (!w) w = std::make_unique<Window>(folder);
        w->main.F_File->refresh();  // the bare loop renamed the files behind the list's back
        w->Prepare(QString::fromStdString(to));
        zv::qt::QtMessageBox::ClearShown();
        zv::qt::QtMessageBox::PresetAnswers({zv::kYes});
        KeepBest(real, w->Click(w->main.Cmd_Run));
        if (zv::qt::QtMessageBox::Shown().size() != 1 || w->main.F_File->listCount() != kFiles ||
            ::access((folder + "/" + Name(to, kFiles)).c_str(), F_OK) != 0)
            fail("the real run did not rename every file");
        current = to;
    };
    for (int round = 0; round < kRealRounds && ok; ++round) {
        const std::string b = "B" + std::to_string(round) + "_", r = "R" + std::to_string(round) + "_";
        if (round % 2 == 0) {
            bareLoop(b);
            if (ok) realRun(r);
        } else {
            realRun(r);
            if (ok) bareLoop(b);
        }
    }
    w.reset();

    std::error_code ec;
    std::filesystem::remove_all(root, ec);
    if (!ok) return 1;
    std::printf("test run through the window, click to painted list (best of %d)\n", kTestRounds);
    std::printf("  files      wall s    cpu s\n");
    for (int s = 0; s < 3; ++s)
        std::printf("  %5d   %8.3f %8.3f\n", kSizes[s], testRun[s].wall, testRun[s].cpu);
    std::printf("  growth 1,024 -> 32,767: %.1f wall, %.1f cpu   (linear: about 32; goal under 0.5 s)\n",
                testRun[2].wall / testRun[0].wall, testRun[2].cpu / testRun[0].cpu);
    std::printf("real run of %d files in place (best of %d)\n", kFiles, kRealRounds);
    std::printf("                                    wall s    cpu s\n");
    std::printf("  bare renameat2 loop             %8.3f %8.3f\n", bare.wall, bare.cpu);
    std::printf("  through the window (click..list)%8.3f %8.3f\n", real.wall, real.cpu);
    std::printf("  ratio window / bare             %8.2f %8.2f   (goal <= 1.5)\n", real.wall / bare.wall,
                real.cpu / bare.cpu);
    return 0;
}
