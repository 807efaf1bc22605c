// Runs cut short by a power cut at every change they make, then the next
// start's recovery; undo after complete runs, and what undo must refuse.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"
#include "engine/EngineTexts.h"

namespace zv::test {
namespace {

enum class Mode { kRenameWithStamps, kCopyWithStamps, kMove, kMoveToOtherDevice };

struct ModeCase {
    const char* label;
    Mode mode;
};
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.label; }

using Snapshot = std::map<std::u16string, std::tuple<std::string, int, LocalDateTime>>;

// Five files a1..a5 in /src, replace mode "a" -> "b", in the mode's way.
struct Scene : EngineRig {
    explicit Scene(Mode mode) {
        files.crash = &crash;
        journals.crash = &crash;
        if (mode == Mode::kMoveToOtherDevice) files.AddFolder(OsPath(u"/dst"), 2);
        std::vector<std::u16string> names;
        for (int i = 1; i <= 5; ++i) {
            std::u16string name = u"a" + std::u16string(1, char16_t(u'0' + i)) + u".txt";
            files.AddFile(OsPath(u"/src"), name, {kAttrArchive, {2001, 1, i, 0, 0, 0}, std::string(i, 'x')});
            names.push_back(name);
        }
        settings.SelectAll(names);
        settings.SetValue("Chk_syori(1)", 1);
        settings.SetText("Txt_B_text", u"a");
        settings.SetText("Txt_A_text", u"b");
        if (mode != Mode::kRenameWithStamps) settings.SetText("A_Dir", OsPath(u"/dst"));
        if (mode == Mode::kMove || mode == Mode::kMoveToOtherDevice) {
            settings.SetValue("Opt_Cpymov(0)", 0);
            settings.SetValue("Opt_Cpymov(1)", -1);
        }
        if (mode == Mode::kRenameWithStamps || mode == Mode::kCopyWithStamps) {
            settings.SetValue("Chk_DateLock", 1);
            settings.SetValue("Chk_Attrib", 1);
            settings.SetValue("Chk_Att_Set(0)", 1);
        }
    }
    Snapshot State() const {
        Snapshot s;
        for (const auto& [path, f] : files.files) s[path] = {f.content, f.attributes, f.lastWrite};
        return s;
    }
    // The next start: no crash any more, the user's answer preset.
    bool Restart(int answer) {
        crash.at = -1;
        messages.shown.clear();
        messages.answers = {answer};
        return engine.RecoverInterruptedRuns();
    }
    bool Undo(int answer = kYes) {
        messages.shown.clear();
        messages.answers = {answer};
        return engine.UndoLastRun();
    }
    CrashPoint crash;
};

int ChangesOfACleanRun(Mode mode) {
    Scene s(mode);
    EXPECT_EQ(s.engine.RealRun(), kGoOn);
    return s.crash.seen;
}

class CrashTest : public testing::TestWithParam<ModeCase> {};

TEST_P(CrashTest, RecoveryGivesBackTheStateBeforeTheRunOrKeepsTheRowsDone) {
    const Mode mode = GetParam().mode;
    const int changes = ChangesOfACleanRun(mode);
    ASSERT_GT(changes, 5);
    for (int at = 0; at < changes; ++at) {
        for (bool after : {false, true}) {
            SCOPED_TRACE(testing::Message() << "crash " << (after ? "after" : "before") << " change " << at);
            Scene yes(mode), no(mode);
            const Snapshot before = yes.State();
            for (Scene* s : {&yes, &no}) {
                s->crash.at = at;
                s->crash.afterChange = after;
                EXPECT_THROW(s->engine.RealRun(), Crash);
            }
            const Snapshot crashed = no.State();
            const bool touched = crashed != before;
            // After its last change (the final sync) the run is complete.
            const bool complete = after && at == changes - 1;

            yes.Restart(kYes);
            if (complete) {
                EXPECT_TRUE(yes.messages.shown.empty());
                EXPECT_TRUE(yes.Undo());
            } else if (touched) {
                ASSERT_EQ(yes.messages.shown.size(), 2u);  // question, report
                EXPECT_EQ(yes.messages.shown[0].title, u"復旧");
            }
            EXPECT_EQ(yes.State(), before);

            no.Restart(kNo);
            EXPECT_EQ(no.State(), crashed);
            // The journal is closed: the next start asks nothing, and 元に戻す
            // still takes the rows back.
            no.Restart(kYes);
            EXPECT_TRUE(no.messages.shown.empty());
            if (touched) {
                EXPECT_TRUE(no.Undo());
                EXPECT_EQ(no.State(), before);
            }
        }
    }
}

TEST_P(CrashTest, UndoOfACompleteRunAndItsOwnCrashAreTakenBack) {
    const Mode mode = GetParam().mode;
    Scene clean(mode);
    const Snapshot before = clean.State();
    ASSERT_EQ(clean.engine.RealRun(), kGoOn);
    const Snapshot done = clean.State();
    const int undoChanges = clean.crash.seen;
    ASSERT_TRUE(clean.Undo());
    ASSERT_EQ(clean.messages.shown.size(), 2u);
    EXPECT_EQ(clean.messages.shown[0].prompt, u"直前の変換処理を元に戻しますか？\r\n5 個のファイルを元に戻します。");
    EXPECT_EQ(clean.messages.shown[1].prompt, u"5 個のファイルを元に戻しました。");
    EXPECT_EQ(clean.State(), before);
    const int changesOfUndo = clean.crash.seen - undoChanges;

    // The undo itself taken back once, then nothing more.
    ASSERT_TRUE(clean.Undo());
    EXPECT_EQ(clean.State(), done);
    EXPECT_FALSE(clean.engine.CanUndo());

    // An undo cut short: the next start takes back what it did.
    for (int at = 0; at < changesOfUndo; ++at) {
        SCOPED_TRACE(testing::Message() << "crash at change " << at << " of the undo");
        Scene s(mode);
        ASSERT_EQ(s.engine.RealRun(), kGoOn);
        s.crash.at = s.crash.seen + at;
        s.messages.answers = {kYes};
        EXPECT_THROW(s.engine.UndoLastRun(), Crash);
        s.Restart(kYes);
        EXPECT_EQ(s.State(), done);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, CrashTest,
                         testing::Values(ModeCase{"RenameWithStamps", Mode::kRenameWithStamps},
                                         ModeCase{"CopyWithStamps", Mode::kCopyWithStamps},
                                         ModeCase{"Move", Mode::kMove},
                                         ModeCase{"MoveToOtherDevice", Mode::kMoveToOtherDevice}),
                         [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ what undo leaves alone

struct LeftCase {
    const char* label;
    Mode mode;
    std::u16string path;  // changed by someone else after the run
    std::string content;
    std::u16string reported;  // empty: left without a word
};
void PrintTo(const LeftCase& c, std::ostream* os) { *os << c.label; }

class UndoLeavesTest : public testing::TestWithParam<LeftCase> {};

TEST_P(UndoLeavesTest, FilesOthersChangedSinceStayAsTheyAre) {
    const LeftCase& c = GetParam();
    Scene s(c.mode);
    const Snapshot before = s.State();
    ASSERT_EQ(s.engine.RealRun(), kGoOn);
    s.files.AddFile(OsPath(u"/x"), u"y", {0, {2020, 1, 1, 0, 0, 0}, c.content});
    s.files.files[OsPath(c.path)] = s.files.files[OsPath(u"/x/y")];
    s.files.files.erase(OsPath(u"/x/y"));
    const FakeFile theirs = s.files.files[OsPath(c.path)];

    ASSERT_TRUE(s.Undo());

    EXPECT_EQ(s.files.files[OsPath(c.path)], theirs);
    ASSERT_EQ(s.messages.shown.size(), 2u);
    const std::u16string& report = s.messages.shown[1].prompt;
    if (c.reported.empty()) {
        EXPECT_EQ(report, u"4 個のファイルを元に戻しました。");
    } else {
        EXPECT_EQ(report, u"4 個のファイルを元に戻しました。\r\n次のファイルは元に戻せませんでした。\r\n" +
                              OsPath(c.reported) + u"（同名のファイル名がすでに存在します。）");
    }
    // Every other row is back as it was.
    for (int i : {1, 3, 4, 5}) {
        const std::u16string a = OsPath(u"/src/a") + char16_t(u'0' + i) + u".txt";
        EXPECT_EQ(s.State()[a], before.at(a)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, UndoLeavesTest,
    testing::Values(LeftCase{"OldNameTakenSince", Mode::kRenameWithStamps, u"/src/a2.txt", "new", u"/src/a2.txt"},
                    LeftCase{"CopyChangedSince", Mode::kCopyWithStamps, u"/dst/b2.txt", "edited", u""}),
    [](const auto& info) { return std::string(info.param.label); });

// ------------------------------------------------ stopping and refusing

TEST(RunJournalTest, CancelStopsAfterTheRowAndUndoTakesTheDoneRowsBack) {
    Scene s(Mode::kRenameWithStamps);
    const Snapshot before = s.State();
    s.events.onEvents = [&] { s.progress.cancel = s.files.FileExists(OsPath(u"/src/b2.txt")); };

    EXPECT_EQ(s.engine.RealRun(), kStop);

    EXPECT_TRUE(s.progress.cancellable);
    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_EQ(s.messages.shown[1].prompt,
              u"変換処理を中止しました。\r\n2 個のファイルを処理しました。「元に戻す」で元に戻せます。");
    EXPECT_TRUE(s.files.FileExists(OsPath(u"/src/b2.txt")));
    EXPECT_TRUE(s.files.FileExists(OsPath(u"/src/a3.txt")));
    EXPECT_FALSE(s.Restart(kYes)) << "a stop the user saw is no crash";
    EXPECT_TRUE(s.messages.shown.empty());
    EXPECT_TRUE(s.Undo());
    EXPECT_EQ(s.messages.shown[0].prompt, u"直前の変換処理を元に戻しますか？\r\n2 個のファイルを元に戻します。");
    EXPECT_EQ(s.State(), before);
}

TEST(RunJournalTest, NoJournalNoRun) {
    Scene s(Mode::kRenameWithStamps);
    const Snapshot before = s.State();
    s.journals.failCreate = true;

    EXPECT_EQ(s.engine.RealRun(), kStop);

    ASSERT_EQ(s.messages.shown.size(), 2u);
    EXPECT_EQ(s.messages.shown[1].prompt, texts::kJournalFailed);
    EXPECT_EQ(s.State(), before);
    EXPECT_FALSE(s.engine.CanUndo());
}

}  // namespace
}  // namespace zv::test
