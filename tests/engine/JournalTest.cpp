// The journal's text: names survive byte for byte, a line cut short by a
// crash is ignored, and the store keeps the last runs.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"
#include "engine/Journal.h"
#include "engine/RunJournal.h"

namespace zv::test {
namespace {

TEST(Journal, NameComesBackExactlyFromOneField) {
    for (const std::u16string name :
         {u"IMG_0001.JPG", u" a b\t.txt ", u"100%25.txt", u"a\nb\r.txt", u"写真　１.jpg", u"caf\xDCE9.txt"}) {
        const std::string field = EscapeJournalName(name);
        EXPECT_EQ(field.find_first_of(" \n\r\t"), std::string::npos) << field;
        EXPECT_EQ(UnescapeJournalName(field), name) << field;
    }
}

const Journal kTwoRows{
    .started = {2024, 3, 7, 9, 5, 3},
    .source = u"/src/",
    .destination = u"/dst/",
    .setsTime = true,
    .rows = {{JournalOp::kCopy, u"a.txt", u"b.txt", u"", {true, 2049, 12, 5, -3, 33}},
             {JournalOp::kCross, u"c.txt", u"d.txt", u"d.tmp", {true, 2049, 13, 0, 7, 0}}}};

TEST(Journal, ReadsBackPlanAndMarksAndIgnoresWhatACrashCutShort) {
    const FileIdentity made{true, 2050, 99, 5, 8, 1};
    const std::string plan = FormatJournalPlan(kTwoRows);
    auto j = ParseJournal(plan + FormatDoneMark(0, &made) + FormatViaMark(1) + "unknown record\n" +
                          "done 1");  // no line end: cut short
    ASSERT_TRUE(j);
    EXPECT_TRUE(j->planned);
    EXPECT_FALSE(j->complete);
    EXPECT_EQ(j->started, kTwoRows.started);
    EXPECT_EQ(j->source + j->destination, u"/src//dst/");
    EXPECT_TRUE(j->setsTime);
    EXPECT_FALSE(j->setsAttributes);
    ASSERT_EQ(j->rows.size(), 2u);
    EXPECT_EQ(j->rows[0].before, kTwoRows.rows[0].before);
    EXPECT_EQ(j->rows[1].op, JournalOp::kCross);
    EXPECT_EQ(j->rows[1].via, u"d.tmp");
    EXPECT_TRUE(j->rows[0].done);
    EXPECT_EQ(j->rows[0].made, made);
    EXPECT_TRUE(j->rows[1].reachedVia);
    EXPECT_FALSE(j->rows[1].done);

    // Without its "plan" line the run never touched a file.
    auto unplanned = ParseJournal(plan.substr(0, plan.size() - 5));
    ASSERT_TRUE(unplanned);
    EXPECT_FALSE(unplanned->planned);
    EXPECT_FALSE(ParseJournal("not a journal\n"));
}

TEST(Journal, StoreKeepsTheLastRunsAndAnyRunNeverAnsweredFor) {
    EngineRig rig;
    for (int i = 0; i < 25; ++i) {
        RunJournal run(rig.journals);
        ASSERT_TRUE(run.Begin(kTwoRows));
        if (i != 1) run.Complete();  // the second run died
    }
    const auto names = rig.journals.List();
    ASSERT_EQ(names.size(), RunJournal::kKept + 1);
    EXPECT_EQ(names[0], "0000000002.journal");
    EXPECT_EQ(names[1], "0000000006.journal");
    EXPECT_EQ(names.back(), "0000000025.journal");
}

}  // namespace
}  // namespace zv::test
