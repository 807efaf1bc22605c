// The real run on real folders: rename in place, copy and move with time
// stamp and attributes, names that are not valid UTF-8, failures part-way
// that keep every file, and renumbering thousands of files in place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "DiskRig.h"

namespace zv::test {
namespace {

enum class Where { kSame, kFolder, kTmpfs, kSmallTmpfs, kReadOnly, kExfat };
enum class Trouble { kNone, kTakenMeanwhile, kDiskFull };

struct RunCase {
    const char* label;
    Where where;
    Controls controls;
    std::vector<std::string> from, to;  // native names before and after, in list order
    int attributes = 0;                 // of the new files; -1: not looked at
    bool time = false;                  // stamped
    Trouble trouble = Trouble::kNone;
    std::u16string message = u"";  // of the failure: on row 3, or on row 1 into a read-only folder
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.label; }

class DiskRunTest : public testing::TestWithParam<RunCase> {};

// Rows before a failure are done, with their data, time and attributes; rows
// from it on keep their source untouched; nothing is lost or overwritten.
TEST_P(DiskRunTest, RowsBeforeAFailureAreDoneTheRestUntouched) {
    const RunCase& c = GetParam();
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    std::string src = rig.scratch.Folder("src"),
                dst = c.where == Where::kSame ? src : rig.scratch.Folder("dst");
    if (c.where >= Where::kTmpfs && ScratchFolder::IsRoot()) {
        dst = c.where == Where::kExfat
                  ? rig.scratch.MountExfat("dst", 8u << 20)
                  : rig.scratch.MountTmpfs("dst", c.where == Where::kTmpfs ? 8u << 20 : 1u << 20);
        if (dst.empty())
            GTEST_SKIP() << "the file system could not be mounted here (exfat-fuse, loop device)";
        if (c.where != Where::kExfat && !ScratchFolder::HoldsXattrs(dst))
            GTEST_SKIP() << "tmpfs without user xattrs";
        // Root passes permission checks; a read-only mount stops everyone.
        if (c.where == Where::kReadOnly && !ScratchFolder::RemountReadOnly(dst))
            GTEST_SKIP() << "no read-only mount";
    } else if (c.where == Where::kReadOnly) {
        ::chmod(dst.c_str(), 0555);
    } else if (c.where >= Where::kTmpfs) {
        GTEST_SKIP() << "mounting needs root";
    }
    if (c.where == Where::kExfat) src = dst;
    rig.Job(src, dst, c.controls);
    rig.Files(src, c.from);
    if (c.trouble == Trouble::kDiskFull)
        ScratchFolder::Write(src + "/a3.txt", ScratchFolder::Pattern(3u << 20));
    std::vector<std::string> content;
    for (const auto& n : c.from) content.push_back(ScratchFolder::Read(src + "/" + n));
    // The check refuses a name taken beforehand: another program takes it
    // while the run is under way.
    if (c.trouble == Trouble::kTakenMeanwhile) {
        rig.ui.onEvents = [&] {
            if (::access((dst + "/b1.txt").c_str(), F_OK) == 0 &&
                ::access((dst + "/b3.txt").c_str(), F_OK) != 0)
                ScratchFolder::Write(dst + "/b3.txt", "keep me");
        };
    }
    const bool copy = rig.ui.Value("Opt_Cpymov(0)") != 0 && src != dst;
    const std::size_t failing = c.message.empty() ? c.from.size() : c.where == Where::kReadOnly ? 0 : 2;

    EXPECT_EQ(rig.engine.RealRun(), c.message.empty() ? kGoOn : kStop);

    ASSERT_EQ(rig.ui.shown.size(), c.message.empty() ? 1u : 2u) << ToUtf8(rig.ui.shown.back().prompt);
    EXPECT_EQ(rig.ui.shown.back(), (c.message.empty() ? kQuestion : Box{u"ファイルエラー", c.message}));
    for (std::size_t i = 0; i < c.from.size(); ++i) {
        const std::string from = src + "/" + c.from[i], to = dst + "/" + c.to[i];
        SCOPED_TRACE(to);
        if (i < failing) {
            EXPECT_TRUE(HoldsData(to, content[i]));
            EXPECT_EQ(LocalTime(to), c.time ? kStamp : kOld);
            EXPECT_EQ(c.attributes < 0 ? -1 : Attributes(to), c.attributes);
            if (src == dst) continue;
            // Copied: the source keeps its name, data, time and attributes.
            EXPECT_EQ(::access(from.c_str(), F_OK) == 0, copy);
            if (!copy) continue;
            EXPECT_TRUE(HoldsData(from, content[i]));
            EXPECT_EQ(LocalTime(from), kOld);
            EXPECT_EQ(Attributes(from), 0);
        } else {
            EXPECT_TRUE(HoldsData(from, content[i])) << "lost its source";
            EXPECT_EQ(Attributes(from), 0) << "touched";
            if (i == 2 && c.trouble == Trouble::kTakenMeanwhile)
                EXPECT_TRUE(HoldsData(to, "keep me")) << "an existing file was overwritten";
            else
                EXPECT_NE(::access(to.c_str(), F_OK), 0) << "something left there";
        }
    }
    // No temporary or partial copy left anywhere.
    for (const auto& name : ScratchFolder::Names(dst)) EXPECT_NE(name[0], '.') << name;
    const std::set<std::string> all(c.to.begin(), c.to.end());
    EXPECT_EQ(c.message.empty() ? ScratchFolder::Names(dst) : all, all);
    EXPECT_EQ(rig.ui.disables + rig.ui.listRefreshes, c.message.empty() ? 2 : 0);
    EXPECT_FALSE(rig.ui.open);
}

const std::vector<std::string> kThree{"c.jpg", "a.jpg", "b.jpg"},
    kImg{"IMG_001.jpg", "IMG_002.jpg", "IMG_003.jpg"};
const std::vector<std::string> kA{"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt"};
const std::vector<std::string> kB{"b1.txt", "b2.txt", "b3.txt", "b4.txt", "b5.txt"};
const std::u16string k1 = u"1", kExists = u"同名のファイル名がすでに存在します。",
                     kFull = u"ディスクの容量不足です。";
// Replace "a" by "b" and hide.
const Controls kHide{{"Chk_syori(1)", k1},
                     {"Txt_B_text", u"a"},
                     {"Txt_A_text", u"b"},
                     {"Chk_Attrib", k1},
                     {"Chk_Att_Set(1)", k1}};
Controls With(Controls a, const Controls& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

// clang-format off
INSTANTIATE_TEST_SUITE_P(Runs, DiskRunTest, testing::Values(
    RunCase{"InPlace", Where::kSame, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}}, kThree, kImg},
    RunCase{"CopyTimeAndHidden", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Chk_DateLock", k1},
            {"Chk_Attrib", k1}, {"Chk_Att_Set(1)", k1}}, kThree, kImg, kAttrHidden, true},
    RunCase{"CopyAllAttributes", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Chk_Attrib", k1},
            {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(1)", k1}, {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg, 39},
    RunCase{"MoveTimeAndSystemArchive", Where::kFolder, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Opt_Cpymov(0)", u"0"},
            {"Chk_DateLock", k1}, {"Chk_Attrib", k1}, {"Chk_Att_Set(2)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg,
            kAttrSystem | kAttrArchive, true},
    RunCase{"MoveAcrossFileSystems", Where::kTmpfs, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}, {"Opt_Cpymov(0)", u"0"},
            {"Chk_DateLock", k1}, {"Chk_Attrib", k1}, {"Chk_Att_Set(0)", k1}, {"Chk_Att_Set(3)", k1}}, kThree, kImg, 33, true},
    RunCase{"NumberingDropsBadBytes", Where::kSame, {{"Txt_B_text", u"IMG_"}, {"Lbl_keta", u"3"}}, {"\xff\xfe.jpg"}, {"IMG_001.jpg"}},
    RunCase{"AppendKeepsBadBytes", Where::kSame, {{"Chk_syori(0)", k1}, {"Txt_B_text", u"new_"}}, {"x\xff.jpg"}, {"new_x\xff.jpg"}},
    RunCase{"ReplaceNextToBadBytes", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"abc"}, {"Txt_A_text", u"z"}},
            {"\xe3\x81" "abc.txt"}, {"\xe3\x81" "z.txt"}},
    RunCase{"ValidJapaneseToo", Where::kSame, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"写真"}, {"Txt_A_text", u"photo"}},
            {"写真01.jpg"}, {"photo01.jpg"}},
    // A USB stick's file system ignores case: a change of case only renames.
    RunCase{"ExfatCaseOnly", Where::kExfat, {{"Chk_syori(1)", k1}, {"Txt_B_text", u"photo"}, {"Txt_A_text", u"PHOTO"}},
            {"photo.txt", "memo.txt"}, {"PHOTO.txt", "memo.txt"}, -1},
    RunCase{"InPlaceOntoExisting", Where::kSame, kHide, kA, kB, kAttrHidden, false, Trouble::kTakenMeanwhile, kExists},
    RunCase{"CopyOntoExisting", Where::kFolder, kHide, kA, kB, kAttrHidden, false, Trouble::kTakenMeanwhile, kExists},
    RunCase{"CopyDiskFull", Where::kSmallTmpfs, kHide, kA, kB, kAttrHidden, false, Trouble::kDiskFull, kFull},
    RunCase{"MoveDiskFull", Where::kSmallTmpfs, With(kHide, {{"Opt_Cpymov(0)", u"0"}}), kA, kB, kAttrHidden, false,
            Trouble::kDiskFull, kFull},
    RunCase{"MoveIntoReadOnly", Where::kReadOnly, With(kHide, {{"Opt_Cpymov(0)", u"0"}}), kA, kB, kAttrHidden, false,
            Trouble::kNone, u"書き込みができません。"}),
    [](const auto& info) { return std::string(info.param.label); });
// clang-format on

// ------------------------------------------------ renumbering in place

std::string Numbered(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d.dat", n);
    return buf;
}

// Ten thousand numbered files shifted up by one, back down, then listed in
// reverse (five thousand swaps through a temporary name): after each run
// every name holds exactly the data the job meant for it.
TEST(DiskRenumberTest, ShiftUpDownAndReverseKeepEveryFilesData) {
    constexpr int kCount = 10000;
    DiskRig rig;
    ASSERT_TRUE(rig.scratch.ok());
    const std::string src = rig.scratch.Folder("src");
    rig.Job(src, src, {{"Lbl_keta", u"5"}});
    std::vector<std::string> data(kCount + 2);  // by the number the file had first
    std::vector<int> at(kCount + 2);            // at[n]: the first number of the file now named n
    for (int i = 1; i <= kCount; ++i) {
        data[i] = std::to_string(i) + ScratchFolder::Pattern(64 + i % 64, static_cast<unsigned>(i));
        ScratchFolder::Write(src + "/" + Numbered(i), data[i]);
        at[i] = i;
    }
    // List of the current numbers in the order the run takes them, and its start.
    for (const auto& [label, first, start, reverse] :
         {std::tuple{"up", 1, 2, false}, std::tuple{"down", 2, 1, false},
          std::tuple{"reverse", 1, 1, true}}) {
        SCOPED_TRACE(label);
        std::vector<std::u16string> listed;
        std::vector<int> next(kCount + 2);
        for (int k = 0; k < kCount; ++k) {
            const int n = reverse ? kCount - k : first + k;
            listed.push_back(FromNative(Numbered(n)));
            next[start + k] = at[n];
        }
        rig.ui.SelectAll(listed);
        rig.ui.Set("Txt_Startnum", std::u16string(1, char16_t(u'0' + start)));
        rig.ui.shown.clear();
        ASSERT_EQ(rig.engine.RealRun(), kGoOn);
        ASSERT_EQ(rig.ui.shown.size(), 1u);
        at = next;
        ASSERT_EQ(ScratchFolder::Names(src).size(), static_cast<std::size_t>(kCount))
            << "a temporary name left";
        for (int n = start; n < start + kCount; ++n)
            ASSERT_TRUE(ScratchFolder::Read(src + "/" + Numbered(n)) == data[at[n]]) << Numbered(n);
    }
    for (int n = 1; n <= kCount; ++n) EXPECT_EQ(at[n], kCount + 1 - n);
}

}  // namespace
}  // namespace zv::test
