// The real run against an in-memory file system: the last look before any
// file is touched, what each failure tells the user and leaves undone, and
// how the time-stamp boxes are read.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "engine/EngineFakes.h"

namespace zv::test {
namespace {

const std::u16string kFileError = u"ファイルエラー", kSelection = u"ファイル選択エラー",
                     kAttributes = u"属性設定エラー";
const std::u16string kNotAFile =
    u"a3.txt\r\n通常のファイルではないため、変換できません。\r\n選択したファイルを確認して下さい。";
const Box kWriteFailed{kFileError, u"書き込みに失敗しました。"};

using Setup = std::function<void(EngineRig&)>;

struct RunCase {
    const char* label;
    Setup setup;
    Box box = {};  // after the question; none: the run goes through
    int done = 5;  // rows carried out
    int attributes = 0;
    LocalDateTime time{2001, 1, 1, 0, 0, 0};  // of the rows done
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

class RealRunTest : public testing::TestWithParam<RunCase> {};

// Five files a1..a5 in /src, replaced "a" -> "b"; rows done are complete,
// rows after the first failure untouched.
TEST_P(RealRunTest, RowsBeforeAStopAreDoneAndTheRestUntouched) {
    const RunCase& c = GetParam();
    EngineRig rig;
    const Names names{u"a1.txt", u"a2.txt", u"a3.txt", u"a4.txt", u"a5.txt"};
    for (const auto& n : names) rig.files.Add(OsPath(u"/src/") + n, {0, {2001, 1, 1, 0, 0, 0}, "data"});
    rig.ui.SelectAll(names);
    rig.ui.Set({{"Chk_syori(1)", u"1"}, {"Txt_B_text", u"a"}, {"Txt_A_text", u"b"}});
    c.setup(rig);
    const auto before = rig.files.files;
    const std::u16string to = WithTrailingSeparator(rig.ui.Text("A_Dir"));
    const bool copy = to != OsPath(u"/src/") && rig.ui.Value("Opt_Cpymov(0)") != 0;

    EXPECT_EQ(rig.engine.RealRun(), c.box.prompt.empty() ? kGoOn : kStop);

    ASSERT_EQ(rig.ui.shown.size(), c.box.prompt.empty() ? 1u : 2u);
    EXPECT_EQ(rig.ui.shown.back(), c.box.prompt.empty() ? kQuestion : c.box);
    for (int i = 1; i <= 5; ++i) {
        SCOPED_TRACE(i);
        const std::u16string src = OsPath(u"/src/") + names[i - 1], dst = to + u"b" + names[i - 1].substr(1);
        if (i <= c.done) {
            ASSERT_TRUE(rig.files.FileExists(dst));
            const FakeFile& f = rig.files.files[dst];
            EXPECT_EQ(f.attributes, c.attributes);
            EXPECT_EQ(f.lastWrite, c.time);
            EXPECT_EQ(rig.files.FileExists(src), copy);
        } else {
            EXPECT_TRUE(rig.files.files.count(src) && rig.files.files[src] == before.at(src)) << "touched";
            EXPECT_FALSE(rig.files.FileExists(dst));
        }
    }
    EXPECT_EQ(rig.ui.disables, c.box.prompt.empty() ? 1 : 0);
    EXPECT_FALSE(rig.ui.open);
    EXPECT_EQ(rig.engine.CanUndo(), c.done > 0);
}

// Row 3 fails with the code; the rows before take the hidden attribute.
Setup FailThird(int code) {
    return [=](EngineRig& rig) {
        rig.ui.Set("Chk_Attrib", u"1"), rig.ui.Set("Chk_Att_Set(1)", u"1");
        rig.files.failAt = 2, rig.files.failCode = code;
    };
}
// Row 3 has become something else since the folder was listed, or the
// destination cannot keep what the run sets.
Setup Look(EntryKind kind, bool copy, bool time, bool attributes, VolumeAbilities volume = {}) {
    return [=](EngineRig& rig) {
        rig.ui.Set("A_Dir", OsPath(copy ? u"/dst" : u"/src"));
        rig.ui.Set("Chk_DateLock", time ? u"1" : u"0"), rig.ui.Set("Chk_Attrib", attributes ? u"1" : u"0");
        rig.ui.Set("Chk_Att_Set(1)", u"1");
        rig.files.kinds[OsPath(u"/src/a3.txt")] = kind, rig.files.abilities = volume;
    };
}
// The time-stamp boxes, year to second.
Setup Stamp(std::array<const char16_t*, 6> boxes) {
    return [=](EngineRig& rig) {
        rig.ui.Set("Chk_DateLock", u"1");
        for (int i = 0; i < 6; ++i)
            rig.ui.Set(std::array{"Txt_YY", "Txt_MM", "Txt_DD", "Txt_H", "Txt_M", "Txt_S"}[i], boxes[i]);
    };
}

const VolumeAbilities kLinksTakeTime{39, true, false};
const LocalDateTime kSet{2024, 3, 7, 9, 5, 3};

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, RealRunTest, testing::Values(
    RunCase{"DiskFull", FailThird(kFsDiskFull), {kFileError, u"ディスクの容量不足です。"}, 2, kAttrHidden},
    RunCase{"Denied", FailThird(kFsPermissionDenied), {kFileError, u"書き込みができません。"}, 2, kAttrHidden},
    RunCase{"Generic", FailThird(kFsGeneric), kWriteFailed, 2, kAttrHidden},
    // Another program put a folder there during the run.
    RunCase{"NoLongerAFile", FailThird(kFsNotAFile), {kSelection, kNotAFile}, 2, kAttrHidden},
    RunCase{"Folder", Look(EntryKind::kFolder, false, false, false), {kSelection, kNotAFile}, 0},
    RunCase{"Fifo", Look(EntryKind::kOther, true, false, false), {kSelection, kNotAFile}, 0},
    RunCase{"Missing", Look(EntryKind::kMissing, false, false, false),
            {kSelection, u"a3.txt\r\nファイルが見つかりません。\r\n選択したファイルを確認して下さい。"}, 0},
    // A copy needs data: a dangling link or a link to a folder has none.
    RunCase{"CopyDanglingLink", Look(EntryKind::kOtherLink, true, false, false), {kSelection, kNotAFile}, 0},
    RunCase{"RenameDanglingLink", Look(EntryKind::kOtherLink, false, false, false)},
    RunCase{"CopyLinkWithAttributes", Look(EntryKind::kLinkToFile, true, true, true), {}, 5, kAttrHidden, kSet},
    RunCase{"RenameLinkWithTime", Look(EntryKind::kLinkToFile, false, true, false, kLinksTakeTime), {}, 5, 0, kSet},
    RunCase{"RenameLinkWithAttributes", Look(EntryKind::kLinkToFile, false, false, true, kLinksTakeTime),
            {kAttributes, u"a3.txt\r\nシンボリックリンクには属性を設定できません。\r\n属性の設定を確認して下さい。"}, 0},
    RunCase{"LinkTimeNotKept", Look(EntryKind::kLinkToFile, false, true, false, {39, false, false}),
            {kAttributes, u"a3.txt\r\nシンボリックリンクには日付を設定できません。\r\n日付の設定を確認して下さい。"}, 0},
    RunCase{"HiddenNotKept", Look(EntryKind::kFile, false, false, true, {kAttrReadOnly, true, false}),
            {kAttributes, u"保存先のドライブには、選択した属性を設定できません。\r\n属性の設定を確認して下さい。"}, 0},
    RunCase{"FailingRefresh", [](EngineRig& rig) { rig.ui.refreshSucceeds = false; }, kWriteFailed},
    RunCase{"NoJournalNoRun", [](EngineRig& rig) { rig.journals.failCreate = true; },
            {kFileError, u"元に戻すための記録を保存できません。\r\nファイルは変更していません。"}, 0},
    // The time-stamp boxes are read as 16-bit integers.
    RunCase{"Blanks", Stamp({u" 2024 ", u"\t3", u"7\u3000", u"9", u"5", u"3"}), {}, 5, 0, kSet},
    RunCase{"FullWidthDigits", Stamp({u"２０２４", u"３", u"７", u"９", u"5", u"3"}), {}, 5, 0, kSet},
    // Fractions round half to even: 2.5 -> 2, 3.5 -> 4.
    RunCase{"HalfToEven", Stamp({u"2024", u"2.5", u"3.5", u"9.49", u"5.51", u"+3"}), {}, 5, 0, {2024, 2, 4, 9, 6, 3}},
    // Numbers but no date: passed on, the file system leaves the time alone.
    RunCase{"NoValidDate", Stamp({u"2024", u"13", u"-1", u"99", u"0", u"0"}), {}, 5, 0, {2024, 13, -1, 99, 0, 0}},
    RunCase{"Largest", Stamp({u"32767", u"1", u"1", u"0", u"0", u"0"}), {}, 5, 0, {32767, 1, 1, 0, 0, 0}},
    RunCase{"Letters", Stamp({u"2024", u"3", u"7", u"9", u"5", u"abc"}), kWriteFailed, 0},
    RunCase{"Exponent", Stamp({u"2e3", u"3", u"7", u"9", u"5", u"3"}), kWriteFailed, 0},
    RunCase{"Below16Bits", Stamp({u"2024", u"3", u"7", u"9", u"-32769", u"3"}), kWriteFailed, 0},
    RunCase{"RoundsAbove16Bits", Stamp({u"32767.5", u"3", u"7", u"9", u"5", u"3"}), kWriteFailed, 0},
    RunCase{"InnerBlank", Stamp({u"20 24", u"3", u"7", u"9", u"5", u"3"}), kWriteFailed, 0}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// The checks of a big job show their progress and can be stopped with 中止:
// in the duplicate check, or in the last look at the folder once writing was
// to begin. Either way no file is touched and there is nothing to undo.
TEST(RealRun, CancelDuringTheChecksOfABigJobTouchesNothing) {
    for (const std::u16string stopIn : {u"変換中", u"書き込み中"}) {
        SCOPED_TRACE(ToUtf8(stopIn));
        EngineRig rig;
        Names names;
        for (int i = 0; i < 1000; ++i) {
            names.push_back(u"p" + std::u16string(1, char16_t(u'0' + i % 10)) + u"_" +
                            std::u16string(static_cast<std::size_t>(i / 10 + 1), u'x'));
            rig.files.Add(OsPath(u"/src/") + names.back(), {0, {2001, 1, 1, 0, 0, 0}, "data"});
        }
        rig.ui.SelectAll(names);
        rig.ui.Set("Lbl_keta", u"4");
        rig.ui.onEvents = [&] {
            if (!rig.ui.phases.empty() && rig.ui.phases.back() == stopIn) rig.ui.cancel = true;
        };
        const auto before = rig.files.files;

        EXPECT_EQ(rig.engine.RealRun(), kStop);

        EXPECT_TRUE(rig.ui.cancellable);
        EXPECT_EQ(rig.ui.shown.back(),
                  (Box{u"中止", u"変換処理を中止しました。ファイルは変更していません。"}));
        EXPECT_EQ(rig.files.files, before);
        EXPECT_FALSE(rig.ui.open);
        EXPECT_FALSE(rig.engine.CanUndo());
    }
}

}  // namespace
}  // namespace zv::test
