// What a double-click on a file of the list opens.

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "shared/Valiable.h"
#include "viewers/PreviewDispatch.h"

namespace {

TEST(PreviewDispatch, JoinPathNeverDoublesTheSeparator) {
    using zv::PreviewDispatch;
    EXPECT_EQ(PreviewDispatch::JoinPath(u"C:\\", u"A.TXT", u'\\'), u"C:\\A.TXT");
    EXPECT_EQ(PreviewDispatch::JoinPath(u"C:\\Data", u"A.TXT", u'\\'), u"C:\\Data\\A.TXT");
    EXPECT_EQ(PreviewDispatch::JoinPath(u"/home/u/", u"a b.txt", u'/'), u"/home/u/a b.txt");
}

// Exactly one thing opens, with the whole path already stored for it.
TEST(PreviewDispatch, DoubleClickOpensWhatTheExtensionSays) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"A.TXT", "text"},
        {u"b.rtf", "text"},
        {u"c.gif", "image"},
        {u"c.Bmp", "image"},
        {u"c.jpg", "image"},
        {u"c.ico", "image"},
        {u"c.CUR", "image"},
        {u"c.wmf", "image"},
        {u"c.emf", "image"},
        {u"d.wav", "wav"},
        {u"e.mid", "midi"},
        {u"f.doc", ""},
        {u"x.jpeg", ""},
        // Only the last four characters, folded to upper case but not in width, pick the viewer.
        {u"README", ""},
        {u"x.ｔｘｔ", ""}};
    for (const auto& [name, expected] : cases) {
        const std::u16string path = u"C:\\Data\\" + std::u16string(name);
        zvtest::FakeMessageBox boxes;
        zv::PreviewDispatch dispatch(boxes, u'\\');
        std::string opened;
        auto open = [&](const char* what) {
            return [&, what] {
                opened += what;
                EXPECT_EQ(Valiable::PreviewFilePath, path);
            };
        };
        dispatch.openTextView = open("text");
        dispatch.openImageView = open("image");
        dispatch.openMidiPlayer = open("midi");
        dispatch.playWav = [&](const std::u16string& p) {
            open("wav")();
            return p == path;
        };
        Valiable::PreviewFilePath = u"stale";
        dispatch.F_File_DblClick(u"C:\\Data", name);
        EXPECT_EQ(Valiable::PreviewFilePath, path);
        EXPECT_EQ(opened, expected) << zvtest::Utf8(name);
        EXPECT_TRUE(boxes.shown.empty());
    }
}

// A WAV that cannot be played, here or by the real player (a missing file),
// shows the playback error.
TEST(PreviewDispatch, WavThatCannotPlayShowsThePlaybackError) {
    zvtest::FakeMessageBox boxes;
    zv::PreviewDispatch dispatch(boxes, u'/');
    EXPECT_EQ(dispatch.F_File_DblClick(u"/nonexistent-folder-zv", u"gone.wav"),
              zv::PreviewDispatch::Action::kWavSound);
    dispatch.playWav = [](const std::u16string&) { return false; };
    dispatch.F_File_DblClick(u"/tmp", u"x.wav");
    EXPECT_EQ(boxes.shown, std::vector(2, zvtest::kCannotPlay));
}

}  // namespace
