// The name-length and duplicate checks on the new names.
#include <gtest/gtest.h>

#include "engine/DiskNameLengthCases.h"
#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kEmpty = u"ファイル名が空白です。";

// Column 4 equal to the given names: append mode with both texts empty.
void MakeNewNames(EngineRig& rig, const std::vector<std::u16string>& names) {
    rig.settings.SelectAll(names);
    rig.engine.BuildConversionTable();
    rig.engine.MakeFixedStringNames();
    ASSERT_EQ(rig.engine.Table().newName, names);
}

class CheckNameLengthsTest : public testing::TestWithParam<LengthCase> {};

TEST_P(CheckNameLengthsTest, CountsCodePageAndDiskBytes) {
    const auto& c = GetParam();
    EngineRig rig;
    MakeNewNames(rig, c.names);
    const int pumpsBefore = rig.events.count;
    const StepFlag flag = rig.engine.CheckNameLengths();
    EXPECT_EQ(rig.events.count, pumpsBefore);  // a tight loop: no event processing
    if (c.prompt.empty()) {
        EXPECT_EQ(flag, kGoOn);
        EXPECT_TRUE(rig.messages.shown.empty());
        return;
    }
    EXPECT_EQ(flag, kStop);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].prompt, c.prompt);
    EXPECT_EQ(rig.messages.shown[0].title, c.prompt == kTooLong ? u"ファイル名超過"
                                           : c.prompt == kEmpty ? u"ファイル名無し"
                                                                : u"ファイル名エラー");
    EXPECT_EQ(rig.messages.shown[0].buttons, kOkOnly);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckNameLengthsTest,
    testing::Values(LengthCase{"bytes_254_pass", {Repeat(u'a', 250) + u".txt"}, u""},
                    LengthCase{"bytes_255_too_long", {Repeat(u'a', 251) + u".txt"}, kTooLong},
                    LengthCase{"far_too_long", {Repeat(u'a', 40000) + u".txt"}, kTooLong},
                    LengthCase{"extension_only", {u".txt"}, kEmpty},
                    LengthCase{"short_real_names_pass", {u"ab", u"a.c", u"1", u"x.", u"b.jpeg"}, u""},
                    LengthCase{
                        "first_failing_row_decides_empty", {u"ok.txt", u".txt", Repeat(u'a', 300)}, kEmpty},
                    LengthCase{"first_failing_row_decides_long", {Repeat(u'a', 300), u".txt"}, kTooLong},
                    LengthCase{"no_rows", {}, u""}),
    [](const auto& info) { return std::string(info.param.label); });

// Where the disk's own limit is reached first depends on how the platform
// counts a name.
INSTANTIATE_TEST_SUITE_P(Disk, CheckNameLengthsTest, testing::ValuesIn(DiskNameLengthCases()),
                         [](const auto& info) { return std::string(info.param.label); });

enum NameMode { kNumbered, kReplaced };

struct DuplicateCase {
    const char* label;
    std::vector<std::u16string> outside;   // files outside the job in the destination folder
    std::vector<std::u16string> selected;  // the job, in list order, in /src
    NameMode mode;
    std::u16string first, second;  // numbering: text before (start 1 + shift); replace: search, replacement
    int shift = 0;
    bool inPlace = true;
    StepFlag flag = kGoOn;
};

class CheckDuplicateNamesTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(CheckDuplicateNamesTest, RefusesNamesTakenOutsideTheJobOrTwice) {
    const auto& c = GetParam();
    EngineRig rig;
    const std::u16string destination = OsPath(c.inPlace ? u"/src" : u"/dst");
    for (const auto& name : c.outside) rig.files.AddFile(destination, name);
    for (const auto& name : c.selected) rig.files.AddFile(OsPath(u"/src"), name);
    if (!c.inPlace) rig.files.AddFile(OsPath(u"/src"), u"001.jpg");  // only the destination counts
    rig.settings.SetText("A_Dir", destination);
    rig.settings.SelectAll(c.selected);
    rig.settings.SetText("Txt_B_text", c.first);
    rig.settings.SetText("Txt_A_text", c.second);
    rig.engine.BuildConversionTable();
    if (c.mode == kNumbered) {
        rig.settings.SetText("Lbl_keta", u"3");
        rig.settings.SetText("Txt_Startnum", std::u16string(1, char16_t(u'1' + c.shift)));
        ASSERT_EQ(rig.engine.MakeNumberedNames(), kGoOn);
    } else {
        rig.settings.SetValue("Chk_syori(1)", 1);
        rig.engine.MakeReplacedNames();
    }

    EXPECT_EQ(rig.engine.CheckDuplicateNames(), c.flag);
    EXPECT_EQ(rig.files.lookupsOpened, 1);  // the folder is read once, not per row
    if (c.flag == kStop) {
        ASSERT_EQ(rig.messages.shown.size(), 1u);
        EXPECT_EQ(rig.messages.shown[0].prompt, u"変換後のファイル名が重複しています。");
        EXPECT_EQ(rig.messages.shown[0].title, u"ファイル指定エラー");
        EXPECT_EQ(rig.messages.shown[0].buttons, kOkOnly);
    } else {
        EXPECT_TRUE(rig.messages.shown.empty());
    }
    EXPECT_TRUE(rig.settings.focus.empty());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDuplicateNamesTest,
    testing::Values(
        DuplicateCase{"exists_other_case", {u"IMG_001.JPG"}, {u"x.jpg"}, kNumbered, u"img_", u"", 0, false, kStop},
        DuplicateCase{"exists_later_row", {u"003.jpg"}, {u"a.jpg", u"b.jpg", u"c.jpg"}, kNumbered, u"", u"", 0, false,
                      kStop},
        DuplicateCase{"whole_name_compared", {u"001.jpeg", u"001"}, {u"x.jpg"}, kNumbered, u"", u"", 0, false},
        DuplicateCase{"two_rows_one_name_elsewhere", {}, {u"xa.jpg", u"xb.jpg"}, kReplaced, u"a", u"b", 0, false,
                      kStop},
        // A name the job gives up is free only in place.
        DuplicateCase{"moving_onto_a_name_of_the_job", {u"002.jpg"}, {u"001.jpg", u"002.jpg"}, kNumbered, u"", u"",
                      1, false, kStop},
        // Replace mode: the same check before anything is touched.
        DuplicateCase{"replace_taken_outside", {u"2002_trip.jpg"}, {u"2001_2001.txt", u"2001_trip.jpg"}, kReplaced,
                      u"2001", u"2002", 0, true, kStop},
        DuplicateCase{"replace_onto_an_unchanged_row", {}, {u"a_1.jpg", u"b_1.jpg"}, kReplaced, u"a", u"b", 0, true,
                      kStop},
        DuplicateCase{"replace_unchanged_rows_pass", {u"b1.jpg"}, {u"zz.jpg", u"b1.jpg", u"a2.jpg"}, kReplaced,
                      u"a", u"b"},
        // In place: names handed on within the job.
        DuplicateCase{"shift_up", {u"zzz.jpg"}, {u"001.jpg", u"002.jpg", u"003.jpg"}, kNumbered, u"", u"", 1},
        DuplicateCase{"restart_after_gaps", {}, {u"001.jpg", u"002.jpg", u"004.jpg", u"007.jpg"}, kNumbered},
        DuplicateCase{"swap_mixed_case", {}, {u"IMG_002.JPG", u"img_001.JPG"}, kNumbered, u"img_"},
        DuplicateCase{"chain_ends_at_a_file_outside", {u"003.JPG"}, {u"001.jpg", u"002.jpg"}, kNumbered, u"", u"", 1,
                      true, kStop},
        // Case twins on a case-sensitive disk: the row gives its name up, the twin does not.
        DuplicateCase{"twin_outside_the_job", {u"IMG_002.JPG"}, {u"img_001.jpg", u"img_002.jpg"}, kNumbered,
                      u"img_", u"", 1, true, kStop}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

TEST(CheckDuplicateNames, MissingFolderCountsAsNoFile) {
    EngineRig rig;
    rig.settings.SetText("A_Dir", OsPath(u"/nowhere"));
    MakeNewNames(rig, {u"001.jpg"});
    EXPECT_EQ(rig.engine.CheckDuplicateNames(), kGoOn);
}

}  // namespace
}  // namespace zv::test
