// Renumbering in place: names handed on within the job, rings through a
// temporary name, and what a failure or a power cut half way leaves for
// undo and recovery.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"
#include "engine/RenamePlan.h"

namespace zv::test {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::u16string Number(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return std::u16string(buf, buf + 3);
}

using Snapshot = std::map<std::u16string, std::tuple<std::string, int, LocalDateTime>>;

// The selected files (each holding its own old name) renumbered in place in
// list order from `start`, three digits after `prefix`.
struct Renumber : EngineRig {
    Renumber(const std::vector<std::u16string>& selected, int start, const std::u16string& prefix = u"",
             const std::vector<std::u16string>& outside = {}, bool stamps = false) {
        for (const auto& n : selected) files.AddFile(OsPath(u"/src"), n, {kAttrArchive, {2001, 1, 1, 0, 0, 0}, Narrow(n)});
        for (const auto& n : outside) files.AddFile(OsPath(u"/src"), n, {kAttrArchive, {2001, 1, 1, 0, 0, 0}, "outside"});
        settings.SelectAll(selected);
        settings.SetText("Txt_B_text", prefix);
        settings.SetText("Lbl_keta", u"5");
        const std::string s = std::to_string(start);
        settings.SetText("Txt_Startnum", std::u16string(s.begin(), s.end()));
        if (stamps) {
            settings.SetValue("Chk_DateLock", 1);
            settings.SetValue("Chk_Attrib", 1);
            settings.SetValue("Chk_Att_Set(0)", 1);
        }
        files.crash = &crash;
        journals.crash = &crash;
    }
    int Renames() const {
        return static_cast<int>(std::count_if(files.log.begin(), files.log.end(),
                                              [](const auto& e) { return e.starts_with(u"rename "); }));
    }
    Snapshot State() const {
        Snapshot s;
        for (const auto& [path, f] : files.files) s[path] = {f.content, f.attributes, f.lastWrite};
        return s;
    }
    bool Answer(bool (ConversionEngine::*action)(), int answer) {
        crash.at = -1;
        messages.shown.clear();
        messages.answers = {answer};
        return (engine.*action)();
    }
    CrashPoint crash;
};

std::vector<std::u16string> Numbered(std::initializer_list<int> numbers) {
    std::vector<std::u16string> names;
    for (int n : numbers) names.push_back(u"00" + Number(n) + u".jpg");
    return names;
}

struct JobCase {
    const char* label;
    std::vector<std::u16string> selected;
    int start;
    std::u16string prefix;
    std::vector<std::u16string> outside;
    StepFlag flag;
    int renames;  // a chain: one per moving row; a ring: one more
};
void PrintTo(const JobCase& c, std::ostream* os) { *os << c.label; }

class RenumberInPlaceTest : public testing::TestWithParam<JobCase> {};

TEST_P(RenumberInPlaceTest, EachNameIsFreeWhenTakenAndNothingIsReplaced) {
    const JobCase& c = GetParam();
    Renumber rig(c.selected, c.start, c.prefix, c.outside);
    const Snapshot before = rig.State();

    // The test run shows the final names and nothing else.
    const StepFlag tested = rig.engine.TestRun();
    EXPECT_EQ(tested, c.flag);
    std::vector<std::u16string> expected;
    for (std::size_t i = 0; i < c.selected.size(); ++i)
        expected.push_back(c.prefix + u"00" + Number(c.start + static_cast<int>(i)) +
                           c.selected[i].substr(c.selected[i].size() - 4));
    EXPECT_EQ(rig.view.results, c.flag == kGoOn ? expected : std::vector<std::u16string>{});
    rig.messages.shown.clear();

    EXPECT_EQ(rig.engine.RealRun(), c.flag);

    EXPECT_EQ(rig.Renames(), c.renames);
    if (c.flag == kStop) {
        ASSERT_EQ(rig.messages.shown.size(), 2u);
        EXPECT_EQ(rig.messages.shown[1].prompt, u"変換後のファイル名が重複しています。");
        EXPECT_EQ(rig.State(), before);
        return;
    }
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    Snapshot after = rig.State();
    for (std::size_t i = 0; i < c.selected.size(); ++i) {
        const std::u16string path = OsPath(u"/src/") + expected[i];
        ASSERT_TRUE(after.count(path)) << Narrow(path);
        EXPECT_EQ(std::get<0>(after[path]), Narrow(c.selected[i]));
        after.erase(path);
    }
    for (const auto& n : c.outside) EXPECT_EQ(std::get<0>(after[OsPath(u"/src/") + n]), "outside");
    EXPECT_EQ(after.size(), c.outside.size()) << "a temporary name was left behind";

    EXPECT_TRUE(rig.Answer(&ConversionEngine::UndoLastRun, kYes));
    EXPECT_EQ(rig.State(), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Jobs, RenumberInPlaceTest, testing::Values(
    JobCase{"shift_up_one", Numbered({1, 2, 3, 4, 5}), 2, u"", {}, kGoOn, 5},
    JobCase{"shift_down_one", Numbered({2, 3, 4, 5, 6}), 1, u"", {}, kGoOn, 5},
    JobCase{"shift_up_three", Numbered({1, 2, 3, 4, 5, 6}), 4, u"", {}, kGoOn, 6},
    JobCase{"shift_down_three", Numbered({4, 5, 6, 7, 8, 9}), 1, u"", {}, kGoOn, 6},
    JobCase{"restart_after_gaps", Numbered({1, 2, 4, 5, 9}), 1, u"", {}, kGoOn, 3},
    // Two swaps around a middle that stays.
    JobCase{"reversal", Numbered({5, 4, 3, 2, 1}), 1, u"", {}, kGoOn, 6},
    JobCase{"swap", Numbered({2, 1}), 1, u"", {}, kGoOn, 3},
    JobCase{"three_cycle", Numbered({2, 3, 1}), 1, u"", {}, kGoOn, 4},
    JobCase{"ring_and_chain", Numbered({2, 1, 3, 4}), 1, u"", {}, kGoOn, 3},
    JobCase{"swap_mixed_case", {u"IMG_00002.JPG", u"img_00001.JPG"}, 1, u"img_", {}, kGoOn, 3},
    JobCase{"case_only", {u"IMG_00001.jpg"}, 1, u"img_", {}, kGoOn, 2},
    // What an earlier run left under a temporary name stays where it is.
    JobCase{"temporary_name_taken", Numbered({2, 1}), 1, u"", {u".zorvik-cycle-1"}, kGoOn, 3},
    JobCase{"chain_ends_at_a_file_outside", Numbered({1, 2}), 2, u"", {u"00003.JPG"}, kStop, 0},
    JobCase{"ring_with_a_twin_outside", Numbered({2, 1}), 1, u"", {u"00001.JPG"}, kStop, 0}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

TEST(RenumberInPlace, LongestJobShiftedByOneRunsAsOneChain) {
    std::vector<std::u16string> names;
    for (int i = 1; i <= kMaxRows; ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%05d.jpg", i);
        names.emplace_back(buf, buf + 9);
    }
    Renumber rig(names, 2);
    ASSERT_EQ(rig.engine.RealRun(), kGoOn);
    EXPECT_EQ(rig.Renames(), kMaxRows);
    EXPECT_EQ(rig.files.files[OsPath(u"/src/32768.jpg")].content, "32767.jpg");
    EXPECT_EQ(rig.files.files[OsPath(u"/src/00002.jpg")].content, "00001.jpg");
    EXPECT_FALSE(rig.files.FileExists(OsPath(u"/src/00001.jpg")));
}

TEST(ReplaceMode, ANameTakenOutsideTheJobStopsBothRunsBeforeAnyFile) {
    EngineRig rig;
    for (const char16_t* n : {u"2001_2001.txt", u"2001_trip.jpg", u"2002_trip.jpg"}) rig.files.AddFile(OsPath(u"/src"), n);
    rig.settings.SelectAll({u"2001_2001.txt", u"2001_trip.jpg"});
    rig.settings.SetValue("Chk_syori(1)", 1);
    rig.settings.SetText("Txt_B_text", u"2001");
    rig.settings.SetText("Txt_A_text", u"2002");
    for (auto run : {&ConversionEngine::TestRun, &ConversionEngine::RealRun}) {
        rig.messages.shown.clear();
        EXPECT_EQ((rig.engine.*run)(), kStop);
        EXPECT_EQ(rig.messages.shown.back().prompt, u"変換後のファイル名が重複しています。");
    }
    EXPECT_TRUE(rig.view.results.empty());
    EXPECT_TRUE(rig.files.log.empty());
}

// 中止 pressed while a file is under its temporary name takes effect once
// the ring is closed: every file keeps its old or its new name.
TEST(RenumberInPlace, CancelWaitsForTheRingToClose) {
    Renumber rig(Numbered({2, 1, 4, 3}), 1);  // two swaps
    const Snapshot before = rig.State();
    rig.events.onEvents = [&] {
        for (const auto& [path, file] : rig.files.files)
            if (path.find(kTemporaryPrefix) != std::u16string::npos) rig.progress.cancel = true;
    };

    EXPECT_EQ(rig.engine.RealRun(), kStop);

    ASSERT_EQ(rig.messages.shown.size(), 2u);
    EXPECT_EQ(rig.messages.shown[1].prompt,
              u"変換処理を中止しました。\r\n2 個のファイルを処理しました。「元に戻す」で元に戻せます。");
    EXPECT_EQ(rig.Renames(), 3);
    EXPECT_EQ(std::get<0>(rig.State()[OsPath(u"/src/00001.jpg")]), "00002.jpg");
    EXPECT_EQ(std::get<0>(rig.State()[OsPath(u"/src/00003.jpg")]), "00003.jpg") << "the second swap ran";
    rig.events.onEvents = nullptr;
    EXPECT_TRUE(rig.Answer(&ConversionEngine::UndoLastRun, kYes));
    EXPECT_EQ(rig.State(), before);
}

// ------------------------------------------------ failures inside a ring

class RingFailureTest : public testing::TestWithParam<JobCase> {};

TEST_P(RingFailureTest, AFailureAtEveryRenameIsTakenBackByUndo) {
    const JobCase& c = GetParam();
    for (int k = 0; k < c.renames; ++k) {
        SCOPED_TRACE(testing::Message() << "rename " << k << " fails");
        Renumber rig(c.selected, c.start, c.prefix, {}, true);
        const Snapshot before = rig.State();
        rig.files.failRename = k;
        EXPECT_EQ(rig.engine.RealRun(), kStop);
        ASSERT_EQ(rig.messages.shown.size(), 2u);
        EXPECT_EQ(rig.messages.shown[1].prompt, u"ディスクの容量不足です。");
        EXPECT_FALSE(rig.Answer(&ConversionEngine::RecoverInterruptedRuns, kYes)) << "the user saw the stop";
        if (rig.State() != before) EXPECT_TRUE(rig.Answer(&ConversionEngine::UndoLastRun, kYes));
        EXPECT_EQ(rig.State(), before);
    }
}

TEST_P(RingFailureTest, APowerCutAtEveryChangeIsTakenBackByRecoveryOrUndo) {
    const JobCase& c = GetParam();
    int changes = 0;
    {
        Renumber clean(c.selected, c.start, c.prefix, {}, true);
        ASSERT_EQ(clean.engine.RealRun(), kGoOn);
        ASSERT_EQ(clean.Renames(), c.renames);
        changes = clean.crash.seen;
    }
    for (int at = 0; at < changes; ++at) {
        for (bool after : {false, true}) {
            SCOPED_TRACE(testing::Message() << "power cut " << (after ? "after" : "before") << " change " << at);
            Renumber yes(c.selected, c.start, c.prefix, {}, true), no(c.selected, c.start, c.prefix, {}, true);
            const Snapshot before = yes.State();
            for (Renumber* r : {&yes, &no}) {
                r->crash.at = at;
                r->crash.afterChange = after;
                EXPECT_THROW(r->engine.RealRun(), Crash);
            }
            const bool complete = after && at == changes - 1;
            yes.Answer(&ConversionEngine::RecoverInterruptedRuns, kYes);
            if (complete) EXPECT_TRUE(yes.Answer(&ConversionEngine::UndoLastRun, kYes));
            EXPECT_EQ(yes.State(), before);

            // Declined at start-up: 元に戻す still takes it back.
            no.Answer(&ConversionEngine::RecoverInterruptedRuns, kNo);
            if (no.State() != before) EXPECT_TRUE(no.Answer(&ConversionEngine::UndoLastRun, kYes));
            EXPECT_EQ(no.State(), before);
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rings, RingFailureTest, testing::Values(
    JobCase{"three_cycle", Numbered({2, 3, 1}), 1, u"", {}, kGoOn, 4},
    JobCase{"reversal", Numbered({5, 4, 3, 2, 1}), 1, u"", {}, kGoOn, 6},
    JobCase{"case_only", {u"IMG_00001.jpg"}, 1, u"img_", {}, kGoOn, 2}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// ------------------------------------------------ the plan itself

TEST(PlanRenames, TemporaryNamesAvoidTheJobsNewNamesAndWhatIsOnDisk) {
    const RenamePlan plan =
        PlanRenames({u"a", u".zorvik-cycle-1", u"x", u"y"}, {u".ZORVIK-CYCLE-1", u"a", u"y", u"x"},
                    [](const std::u16string& name) { return name == u".zorvik-cycle-2"; });
    EXPECT_EQ(plan.temporary, (std::vector<std::u16string>{u".zorvik-cycle-3", u"", u".zorvik-cycle-4", u""}));
    EXPECT_EQ(plan.steps.size(), 6u);
    EXPECT_EQ(TemporaryPath(OsPath(u"/d/b.txt"), u".t"), OsPath(u"/d/.t"));
}

}  // namespace
}  // namespace zv::test
