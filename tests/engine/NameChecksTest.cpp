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

struct DuplicateCase {
    const char* label;
    std::vector<std::u16string> existing;  // files in the destination folder
    std::vector<std::u16string> newNames;
    bool replaceMode;
    StepFlag flag;
};

class CheckDuplicateNamesTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(CheckDuplicateNamesTest, LooksInTheDestinationFolder) {
    const auto& c = GetParam();
    EngineRig rig;
    for (const auto& name : c.existing) rig.files.AddFile(OsPath(u"/dst"), name);
    rig.files.AddFile(OsPath(u"/src"), u"001.jpg");  // only the destination counts
    rig.settings.SetText("A_Dir", OsPath(u"/dst"));
    MakeNewNames(rig, c.newNames);
    rig.settings.SetValue("Chk_syori(1)", c.replaceMode ? 1 : 0);

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
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckDuplicateNamesTest,
    testing::Values(
        DuplicateCase{"exists_other_case", {u"IMG_001.JPG"}, {u"img_001.jpg"}, false, kStop},
        DuplicateCase{"exists_later_row", {u"003.jpg"}, {u"001.jpg", u"002.jpg", u"003.jpg"}, false, kStop},
        DuplicateCase{"replace_mode_never_stops", {u"001.jpg"}, {u"001.jpg"}, true, kGoOn},
        DuplicateCase{"whole_name_compared", {u"001.jpeg", u"001"}, {u"001.jpg"}, false, kGoOn},
        DuplicateCase{"new_names_not_compared_with_each_other", {}, {u"a.jpg", u"a.jpg"}, false, kGoOn}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(CheckDuplicateNames, MissingFolderCountsAsNoFile) {
    EngineRig rig;
    rig.settings.SetText("A_Dir", OsPath(u"/nowhere"));
    MakeNewNames(rig, {u"001.jpg"});
    EXPECT_EQ(rig.engine.CheckDuplicateNames(), kGoOn);
}

// Renaming in place: the file's own current name counts as taken.
TEST(CheckDuplicateNames, OwnNameInPlaceIsRefused) {
    EngineRig rig;
    rig.files.AddFile(OsPath(u"/src"), u"1.jpg");
    rig.settings.SetText("A_Dir", OsPath(u"/src"));
    rig.settings.SelectAll({u"1.jpg"});
    rig.settings.SetValue("Chk_keta_lock", 0);
    rig.engine.BuildConversionTable();
    ASSERT_EQ(rig.engine.MakeNumberedNames(), kGoOn);
    EXPECT_EQ(rig.engine.CheckDuplicateNames(), kStop);
}

}  // namespace
}  // namespace zv::test
