// Renumbering in place (names handed on within the job, rings through a
// temporary name), runs cut short by a failure or a power cut at every change
// they make, the next start's recovery, and undo.
#include <gtest/gtest.h>

#include <functional>

#include "engine/EngineFakes.h"
#include "engine/RenamePlan.h"

namespace zv::test {
namespace {

using Snapshot = std::map<std::u16string, std::tuple<std::string, int, LocalDateTime>>;

Snapshot State(const EngineRig& rig) {
    Snapshot s;
    for (const auto& [path, f] : rig.files.files) s[path] = {f.content, f.attributes, f.lastWrite};
    return s;
}
int Renames(const EngineRig& rig) {
    return static_cast<int>(std::count_if(rig.files.log.begin(), rig.files.log.end(),
                                          [](const auto& e) { return e.starts_with(u"rename "); }));
}
// The next start, or 元に戻す: no power cut any more, the user's answer preset.
bool Answer(EngineRig& rig, bool (ConversionEngine::*action)(), int answer) {
    rig.crash.at = -1;
    rig.ui.shown.clear();
    rig.ui.answers = {answer};
    return (rig.engine.*action)();
}
const auto kUndo = &ConversionEngine::UndoLastRun;
const auto kRecover = &ConversionEngine::RecoverInterruptedRuns;

// Files of these names in /src, each of its own size and time, all selected.
void Put(EngineRig& rig, const Names& names) {
    for (std::size_t i = 0; i < names.size(); ++i)
        rig.files.Add(OsPath(u"/src/") + names[i],
                      {kAttrArchive, {2001, 1, int(i) + 1, 0, 0, 0}, ToUtf8(names[i]) + std::string(i, 'x')});
    rig.ui.SelectAll(names);
}
Names Numbered(std::initializer_list<int> numbers) {
    Names names;
    for (int n : numbers) names.push_back(u"0000" + std::u16string(1, char16_t(u'0' + n)) + u".jpg");
    return names;
}
void Stamps(EngineRig& rig, bool on) {
    for (const char* box : {"Chk_DateLock", "Chk_Attrib", "Chk_Att_Set(0)"})
        rig.ui.Set(box, on ? u"1" : u"0");
}
// Five files a1..a5 replaced "a" -> "b" into `to`; copied or moved there.
std::function<void(EngineRig&)> Five(const char16_t* to, bool copy, bool stamps, int device = 1) {
    return [=](EngineRig& rig) {
        Put(rig, {u"a1.txt", u"a2.txt", u"a3.txt", u"a4.txt", u"a5.txt"});
        rig.ui.Set({{"Chk_syori(1)", u"1"},
                    {"Txt_B_text", u"a"},
                    {"Txt_A_text", u"b"},
                    {"Opt_Cpymov(0)", copy ? u"-1" : u"0"},
                    {"A_Dir", OsPath(to)}});
        rig.files.devices[OsPath(u"/dst/")] = device;
        Stamps(rig, stamps);
    };
}

// A job: the selected files renumbered in place in list order from `start`,
// five digits after `prefix`, with time stamp and attributes; or any other.
struct Job {
    const char* label;
    Names selected;
    int start;
    std::u16string prefix;
    Names outside;                               // files outside the job in the folder
    int renames;                                 // a chain: one per moving row; a ring: one more; -1: refused
    std::function<void(EngineRig&)> other = {};  // five files, see Five()
    const char16_t* theirs = nullptr;            // put there by someone else after the run
    bool reported = false;                       // by undo, which leaves it alone
    void Setup(EngineRig& rig) const {
        if (other) return other(rig);
        Put(rig, selected);
        for (const auto& n : outside) rig.files.Add(OsPath(u"/src/") + n, {0, {}, "outside"});
        rig.ui.Set("Txt_B_text", prefix);
        rig.ui.Set("Lbl_keta", u"5");
        rig.ui.Set("Txt_Startnum", std::u16string(1, char16_t(u'0' + start)));
        Stamps(rig, true);
    }
};
void PrintTo(const Job& j, std::ostream* os) { *os << j.label; }

class JobTest : public testing::TestWithParam<Job> {};

// Each name is free when taken, nothing is replaced, and undo (and the undo
// of that undo, and the undo cut short by a power cut) gives it all back.
TEST_P(JobTest, CleanRunAndUndo) {
    const Job& job = GetParam();
    EngineRig rig;
    job.Setup(rig);
    const Snapshot before = State(rig);
    const StepFlag flag = job.renames < 0 ? kStop : kGoOn;
    Snapshot after = before;  // renumbered: moved and stamped, the rest as it was
    for (const auto& from : job.selected) after.erase(OsPath(u"/src/") + from);
    for (std::size_t i = 0; i < job.selected.size(); ++i) {
        const std::u16string from = OsPath(u"/src/") + job.selected[i];
        after[OsPath(u"/src/") + job.prefix + u"0000" + char16_t(u'0' + job.start + int(i)) +
              from.substr(from.size() - 4)] = {std::get<0>(before.at(from)), kAttrReadOnly,
                                               LocalDateTime{2024, 3, 7, 9, 5, 3}};
    }
    EXPECT_EQ(rig.engine.RealRun(), flag);
    EXPECT_EQ(Renames(rig), std::max(job.renames, 0));
    if (flag == kStop) {
        EXPECT_EQ(rig.ui.shown.back(), kDuplicate);
        EXPECT_EQ(State(rig), before);
        return;
    }
    EXPECT_EQ(job.other ? after : State(rig), after)
        << "a file replaced, left under a temporary name or unstamped";
    const Snapshot done = State(rig);
    const int runChanges = rig.crash.seen;
    const std::u16string n = std::u16string(1, char16_t(u'0' + (job.other ? 5 : int(job.selected.size()))));
    ASSERT_TRUE(Answer(rig, kUndo, kYes));
    ASSERT_EQ(rig.ui.shown.size(), 2u);
    EXPECT_EQ(rig.ui.shown[0].prompt,
              u"直前の変換処理を元に戻しますか？\r\n" + n + u" 個のファイルを元に戻します。");
    EXPECT_EQ(rig.ui.shown[1].prompt, n + u" 個のファイルを元に戻しました。");
    EXPECT_EQ(State(rig), before);
    const int undoChanges = rig.crash.seen - runChanges;
    ASSERT_TRUE(Answer(rig, kUndo, kYes));
    EXPECT_EQ(State(rig), done);
    EXPECT_FALSE(rig.engine.CanUndo());

    // An undo cut short: the next start takes back what it did.
    for (int at = 0; at < undoChanges; ++at) {
        SCOPED_TRACE(testing::Message() << "power cut at change " << at << " of the undo");
        EngineRig s;
        job.Setup(s);
        ASSERT_EQ(s.engine.RealRun(), kGoOn);
        s.crash.at = s.crash.seen + at;
        s.ui.answers = {kYes};
        EXPECT_THROW(s.engine.UndoLastRun(), Crash);
        Answer(s, kRecover, kYes);
        EXPECT_EQ(State(s), done);
    }
    if (!job.theirs) return;

    // Undo leaves a file someone else put there since alone and takes the rest back.
    EngineRig s;
    job.Setup(s);
    ASSERT_EQ(s.engine.RealRun(), kGoOn);
    s.files.Add(OsPath(job.theirs), {0, {2020, 1, 1, 0, 0, 0}, "theirs"});
    const auto theirs = State(s)[OsPath(job.theirs)];
    ASSERT_TRUE(Answer(s, kUndo, kYes));
    EXPECT_EQ(State(s)[OsPath(job.theirs)], theirs);
    EXPECT_EQ(s.ui.shown.back().prompt,
              u"4 個のファイルを元に戻しました。" +
                  (job.reported ? u"\r\n次のファイルは元に戻せませんでした。\r\n" + OsPath(job.theirs) +
                                      u"（同名のファイル名がすでに存在します。）"
                                : u""));
    for (const char16_t* a : {u"/src/a1.txt", u"/src/a3.txt", u"/src/a4.txt", u"/src/a5.txt"})
        EXPECT_EQ(State(s)[OsPath(a)], before.at(OsPath(a))) << ToUtf8(a);
}

TEST_P(JobTest, AFailureAtEveryMoveIsTakenBackByUndo) {
    for (int k = 0; k < 16 && GetParam().renames >= 0; ++k) {  // no job here makes more moves
        SCOPED_TRACE(testing::Message() << "move " << k << " fails");
        EngineRig rig;
        GetParam().Setup(rig);
        const Snapshot before = State(rig);
        rig.files.failAt = k;
        if (rig.engine.RealRun() == kGoOn) break;
        EXPECT_FALSE(Answer(rig, kRecover, kYes)) << "the user saw the stop";
        EXPECT_TRUE(State(rig) == before || Answer(rig, kUndo, kYes));
        EXPECT_EQ(State(rig), before);
    }
}

TEST_P(JobTest, APowerCutAtEveryChangeIsTakenBackByRecoveryOrUndo) {
    int changes = 0;
    {
        EngineRig clean;
        GetParam().Setup(clean);
        if (clean.engine.RealRun() != kGoOn) return;  // refused: nothing to cut short
        changes = clean.crash.seen;
    }
    for (int at = 0; at < changes; ++at) {
        for (bool after : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << "power cut " << (after ? "after" : "before") << " change " << at);
            EngineRig yes, no;
            for (EngineRig* r : {&yes, &no}) {
                GetParam().Setup(*r);
                r->crash.at = at;
                r->crash.afterChange = after;
            }
            const Snapshot before = State(yes);
            for (EngineRig* r : {&yes, &no}) EXPECT_THROW(r->engine.RealRun(), Crash);
            const Snapshot crashed = State(no);
            // After its last change (the final sync) the run is complete.
            const bool complete = after && at == changes - 1;

            Answer(yes, kRecover, kYes);
            if (complete) {
                EXPECT_TRUE(yes.ui.shown.empty());
                EXPECT_TRUE(Answer(yes, kUndo, kYes));
            } else if (crashed != before) {
                ASSERT_EQ(yes.ui.shown.size(), 2u);  // question, report
                EXPECT_EQ(yes.ui.shown[0].title, u"復旧");
            }
            EXPECT_EQ(State(yes), before);

            // Declined: the journal is closed, the next start asks nothing,
            // and 元に戻す still takes the rows back.
            Answer(no, kRecover, kNo);
            EXPECT_EQ(State(no), crashed);
            Answer(no, kRecover, kYes);
            EXPECT_TRUE(no.ui.shown.empty());
            EXPECT_TRUE(crashed == before || Answer(no, kUndo, kYes));
            EXPECT_EQ(State(no), before);
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, JobTest, testing::Values(
    Job{"shift_up_three", Numbered({1, 2, 3, 4, 5, 6}), 4, u"", {}, 6},
    Job{"shift_down_three", Numbered({4, 5, 6, 7, 8, 9}), 1, u"", {}, 6},
    Job{"restart_after_gaps", Numbered({1, 2, 4, 5, 9}), 1, u"", {}, 3},
    // Two swaps around a middle that stays.
    Job{"reversal", Numbered({5, 4, 3, 2, 1}), 1, u"", {}, 6},
    Job{"three_cycle", Numbered({2, 3, 1}), 1, u"", {}, 4},
    Job{"swap_mixed_case", {u"IMG_00002.JPG", u"img_00001.JPG"}, 1, u"img_", {}, 3},
    Job{"case_only", {u"IMG_00001.jpg"}, 1, u"img_", {}, 2},
    // What an earlier run left under a temporary name stays where it is.
    Job{"temporary_name_taken", Numbered({2, 1}), 1, u"", {u".zorvik-cycle-1"}, 3},
    Job{"chain_ends_at_a_file_outside", Numbered({1, 2}), 2, u"", {u"00003.JPG"}, -1},
    // Case twins on a case-sensitive disk: the row gives its name up, the twin does not.
    Job{"ring_with_a_twin_outside", Numbered({2, 1}), 1, u"", {u"00001.JPG"}, -1},
    Job{"RenameWithStamps", {}, 0, u"", {}, 5, Five(u"/src", false, true), u"/src/a2.txt", true},
    Job{"CopyWithStamps", {}, 0, u"", {}, 0, Five(u"/dst", true, true), u"/dst/b2.txt"},
    Job{"Move", {}, 0, u"", {}, 5, Five(u"/dst", false, false)},
    Job{"MoveToOtherDevice", {}, 0, u"", {}, 5, Five(u"/dst", false, false, 2)}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// 中止 takes effect between rows, never while a file is under its temporary
// name: every file keeps its old or its new name, and undo takes the rows
// done back.
TEST(RenumberInPlace, CancelWaitsForTheRingToClose) {
    EngineRig rig;
    Job{"two_swaps", Numbered({2, 1, 4, 3}), 1, u"", {}, 0}.Setup(rig);
    const Snapshot before = State(rig);
    rig.ui.onEvents = [&] {
        for (const auto& [path, file] : rig.files.files)
            if (path.find(kTemporaryPrefix) != std::u16string::npos) rig.ui.cancel = true;
    };

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    EXPECT_TRUE(rig.ui.cancellable);
    // The folder changed: its list is read again and the old test run no longer counts.
    EXPECT_EQ(std::pair(rig.ui.listRefreshes, rig.ui.disables), std::pair(1, 1));
    EXPECT_EQ(
        rig.ui.shown.back(),
        (Box{u"中止",
             u"変換処理を中止しました。\r\n2 個のファイルを処理しました。「元に戻す」で元に戻せます。"}));
    EXPECT_EQ(Renames(rig), 3);  // the first ring closed, the second not begun
    EXPECT_EQ(std::get<0>(State(rig)[OsPath(u"/src/00001.jpg")]), "00002.jpg");
    rig.ui.onEvents = nullptr;
    EXPECT_FALSE(Answer(rig, kRecover, kYes)) << "a stop the user saw is no crash";
    EXPECT_TRUE(rig.ui.shown.empty());
    EXPECT_TRUE(Answer(rig, kUndo, kYes));
    EXPECT_EQ(rig.ui.shown[0].prompt, u"直前の変換処理を元に戻しますか？\r\n2 個のファイルを元に戻します。");
    EXPECT_EQ(State(rig), before);
}

// A second instance starting, or its 元に戻す, while a run is still writing:
// the run's journal is in use, so neither takes its files back under it.
TEST(RenumberInPlace, ARunStillWritingIsNeitherRecoveredNorUndone) {
    EngineRig rig;
    Job{"chain", Numbered({1, 2, 3}), 2, u"", {}, 0}.Setup(rig);
    ConversionEngine other{
        EnginePorts{rig.ui, rig.ui, rig.ui, rig.clock, rig.files, rig.ui, rig.ui, &rig.journals}};
    bool tried = false;
    rig.ui.onEvents = [&] {
        if (tried || Renames(rig) == 0) return;
        tried = true;
        EXPECT_FALSE(other.RecoverInterruptedRuns());
        EXPECT_FALSE(other.UndoLastRun());
    };

    EXPECT_EQ(rig.engine.RealRun(), kGoOn);

    EXPECT_TRUE(tried);
    EXPECT_EQ(Renames(rig), 3);
    EXPECT_EQ(rig.ui.shown, (std::vector<Box>{kQuestion, {u"元に戻す", u"元に戻すファイルはありません。"}}));
    EXPECT_EQ(std::get<0>(State(rig)[OsPath(u"/src/00004.jpg")]), "00003.jpgxx");
}

TEST(PlanRenames, TemporaryNamesAvoidTheJobsNewNamesAndWhatIsOnDisk) {
    const RenamePlan plan =
        PlanRenames({u"a", u".zorvik-cycle-1", u"x", u"y"}, {u".ZORVIK-CYCLE-1", u"a", u"y", u"x"},
                    [](const std::u16string& name) { return name == u".zorvik-cycle-2"; });
    EXPECT_EQ(plan.temporary, (Names{u".zorvik-cycle-3", u"", u".zorvik-cycle-4", u""}));
    EXPECT_EQ(plan.steps.size(), 6u);
    EXPECT_EQ(TemporaryPath(OsPath(u"/d/b.txt"), u".t"), OsPath(u"/d/.t"));
}

}  // namespace
}  // namespace zv::test
