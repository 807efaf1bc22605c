// The journal's text: names survive byte for byte, a line cut short by a
// crash is ignored, and the store keeps the last runs.
#include <gtest/gtest.h>

#include "engine/EngineFakes.h"
#include "engine/Journal.h"
#include "engine/RunJournal.h"

namespace zv::test {
namespace {

struct NameCase {
    const char* label;
    std::u16string name;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class JournalNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(JournalNameTest, NameComesBackExactlyFromOneField) {
    const std::u16string& name = GetParam().name;
    const std::string field = EscapeJournalName(name);
    EXPECT_EQ(field.find_first_of(" \n\r\t"), std::string::npos) << field;
    EXPECT_EQ(UnescapeJournalName(field), name);
}

INSTANTIATE_TEST_SUITE_P(Names, JournalNameTest,
                         testing::Values(NameCase{"Plain", u"IMG_0001.JPG"}, NameCase{"Blanks", u" a b\t.txt "},
                                         NameCase{"Percent", u"100%25.txt"},
                                         NameCase{"LineBreaks", u"a\nb\r.txt"},
                                         NameCase{"Japanese", u"写真　１.jpg"},
                                         NameCase{"InvalidByte", u"caf\xDCE9.txt"}),
                         [](const auto& info) { return std::string(info.param.label); });

Journal TwoRows() {
    Journal j;
    j.started = {2024, 3, 7, 9, 5, 3};
    j.source = u"/src/";
    j.destination = u"/dst/";
    j.setsTime = true;
    j.rows.resize(2);
    j.rows[0] = {JournalOp::kCopy, u"a.txt", u"b.txt", u"", {true, 2049, 12, 5, -3, 33}};
    j.rows[1] = {JournalOp::kCross, u"c.txt", u"d.txt", u"d.tmp", {true, 2049, 13, 0, 7, 0}};
    return j;
}

TEST(JournalTextTest, ReadsBackPlanAndMarksAndIgnoresWhatACrashCutShort) {
    const FileIdentity made{true, 2050, 99, 5, 8, 1};
    const std::string text = FormatJournalPlan(TwoRows()) + FormatDoneMark(0, &made) + FormatViaMark(1) +
                             "unknown record\n" + "done 1";  // no line end: cut short

    auto j = ParseJournal(text);
    ASSERT_TRUE(j);
    EXPECT_TRUE(j->planned);
    EXPECT_FALSE(j->complete);
    EXPECT_EQ(j->started, (LocalDateTime{2024, 3, 7, 9, 5, 3}));
    EXPECT_EQ(j->source, u"/src/");
    EXPECT_EQ(j->destination, u"/dst/");
    EXPECT_TRUE(j->setsTime);
    EXPECT_FALSE(j->setsAttributes);
    ASSERT_EQ(j->rows.size(), 2u);
    EXPECT_EQ(j->rows[0].before, TwoRows().rows[0].before);
    EXPECT_EQ(j->rows[1].op, JournalOp::kCross);
    EXPECT_EQ(j->rows[1].via, u"d.tmp");
    EXPECT_TRUE(j->rows[0].done);
    EXPECT_EQ(j->rows[0].made, made);
    EXPECT_TRUE(j->rows[1].reachedVia);
    EXPECT_FALSE(j->rows[1].done);

    // Without its "plan" line the run never touched a file.
    const std::string plan = FormatJournalPlan(TwoRows());
    auto unplanned = ParseJournal(plan.substr(0, plan.size() - 5));
    ASSERT_TRUE(unplanned);
    EXPECT_FALSE(unplanned->planned);
    EXPECT_FALSE(ParseJournal("not a journal\n"));
}

TEST(JournalStoreTest, KeepsTheLastRunsAndAnyRunNeverAnsweredFor) {
    FakeJournalStore store;
    for (int i = 0; i < 25; ++i) {
        RunJournal run(store);
        ASSERT_TRUE(run.Begin(TwoRows()));
        if (i != 1) run.Complete();  // the second run died
    }
    const auto names = store.List();
    ASSERT_EQ(names.size(), RunJournal::kKept + 1);
    EXPECT_EQ(names[0], "0000000002.journal");
    EXPECT_EQ(names[1], "0000000006.journal");
    EXPECT_EQ(names.back(), "0000000025.journal");
}

}  // namespace
}  // namespace zv::test
