#include <gtest/gtest.h>

#include "FakeMessageBox.h"
#include "shared/Valiable.h"
#include "viewers/PreviewDispatch.h"

using Action = zv::PreviewDispatch::Action;

namespace {

struct JoinCase {
    const char16_t* folder;
    const char16_t* name;
    char16_t separator;
    const char16_t* expected;
};

class JoinPathTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTest, NeverDoublesTheSeparator) {
    const JoinCase& c = GetParam();
    EXPECT_EQ(zv::PreviewDispatch::JoinPath(c.folder, c.name, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, JoinPathTest,
                         ::testing::Values(JoinCase{u"C:\\", u"A.TXT", u'\\', u"C:\\A.TXT"},
                                           JoinCase{u"C:\\Data", u"A.TXT", u'\\', u"C:\\Data\\A.TXT"},
                                           JoinCase{u"/home/u/", u"a b.txt", u'/', u"/home/u/a b.txt"}));

// Counts what the dispatcher asked for.
struct Recorder {
    int text = 0, image = 0, midi = 0, wav = 0;
    std::u16string pathSeen;
    bool wavResult = true;

    void Attach(zv::PreviewDispatch& d) {
        auto opens = [this](int& count) {
            return [this, &count] {
                ++count;
                pathSeen = Valiable::PreviewFilePath;
            };
        };
        d.openTextView = opens(text);
        d.openImageView = opens(image);
        d.openMidiPlayer = opens(midi);
        d.playWav = [this](const std::u16string& p) {
            ++wav;
            pathSeen = p;
            return wavResult;
        };
    }
};

struct DblClickCase {
    const char16_t* name;
    int text, image, midi, wav;
};

class DblClickTest : public ::testing::TestWithParam<DblClickCase> {};

TEST_P(DblClickTest, OpensExactlyOneThingWithThePathSet) {
    const DblClickCase& c = GetParam();
    zvtest::FakeMessageBox boxes;
    zv::PreviewDispatch dispatch(boxes, u'\\');
    Recorder rec;
    rec.Attach(dispatch);
    Valiable::PreviewFilePath = u"stale";
    dispatch.F_File_DblClick(u"C:\\Data", c.name);
    EXPECT_EQ(Valiable::PreviewFilePath, u"C:\\Data\\" + std::u16string(c.name));
    EXPECT_EQ(rec.text, c.text);
    EXPECT_EQ(rec.image, c.image);
    EXPECT_EQ(rec.midi, c.midi);
    EXPECT_EQ(rec.wav, c.wav);
    if (c.text + c.image + c.midi + c.wav > 0) EXPECT_EQ(rec.pathSeen, Valiable::PreviewFilePath);
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DblClickTest,
    ::testing::Values(DblClickCase{u"A.TXT", 1, 0, 0, 0}, DblClickCase{u"b.rtf", 1, 0, 0, 0},
                      DblClickCase{u"c.gif", 0, 1, 0, 0}, DblClickCase{u"d.wav", 0, 0, 0, 1},
                      DblClickCase{u"e.mid", 0, 0, 1, 0}, DblClickCase{u"f.doc", 0, 0, 0, 0},
                      // Only the last four characters, folded to upper case but not in width, pick the viewer.
                      DblClickCase{u"README", 0, 0, 0, 0}, DblClickCase{u"x.ｔｘｔ", 0, 0, 0, 0}));

TEST(DblClick, WavFailureShowsThePlaybackError) {
    zvtest::FakeMessageBox boxes;
    zv::PreviewDispatch dispatch(boxes, u'/');
    Recorder rec;
    rec.Attach(dispatch);
    rec.wavResult = false;
    EXPECT_EQ(dispatch.F_File_DblClick(u"/tmp", u"x.wav"), Action::kWavSound);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].prompt, u"正常に再生できません");
    EXPECT_EQ(boxes.shown[0].title, u"再生エラー");
    EXPECT_EQ(boxes.shown[0].buttons, zv::kOkOnly);
}

// The real WAV path: a file that is missing or no sound reports the error.
TEST(DblClick, RealWavPlayerReportsUnreadableFiles) {
    zvtest::FakeMessageBox boxes;
    zv::PreviewDispatch dispatch(boxes, u'/');
    dispatch.F_File_DblClick(u"/nonexistent-folder-zv", u"gone.wav");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, u"再生エラー");
}

}  // namespace
