// The MIDI player renders through FluidSynth into the shared audio output;
// SDL's disk driver writes what the device would hear into a file.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "DiskAudioTest.h"
#include "shared/Valiable.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_PlaySound.h"
#include "viewers/MidiSequencer.h"

namespace {

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// Variable-length delta time.
std::string Delta(unsigned ticks) {
    std::string delta;
    for (unsigned v = ticks;; v >>= 7) {
        delta.insert(delta.begin(), char((v & 0x7F) | (delta.empty() ? 0 : 0x80)));
        if (v < 0x80) break;
    }
    return delta;
}

// One piano note held for `beats` beats of half a second, then silence until
// the track ends `rest` beats later.
std::string MakeMidi(unsigned beats, unsigned rest = 0) {
    std::string track = {0x00, char(0xC0), 0x00, 0x00, char(0x90), 0x3C, 0x64};
    track += Delta(beats * 96) + std::string{char(0x80), 0x3C, 0x40};
    track += Delta(rest * 96) + std::string{char(0xFF), 0x2F, 0x00};
    return "MThd" + Be32(6) + std::string{0, 0, 0, 1, 0, 96} + "MTrk" + Be32(uint32_t(track.size())) + track;
}

std::string With(std::string s, size_t at, char v) {
    s[at] = v;
    return s;
}

TEST(MidiRecognition, LooksLikeMidi) {
    const std::pair<std::string, bool> cases[] = {
        {MakeMidi(1), true},
        {"RIFF\x24\0\0\0WAVEfmt ", false},
        {MakeMidi(1).substr(0, 30), false},              // track cut short
        {With(With(MakeMidi(1), 12, 0), 13, 0), false},  // division 0
        {With(MakeMidi(1), 4, char(0x7F)), false}};      // header length huge
    for (const auto& [bytes, midi] : cases)
        EXPECT_EQ(zv::MidiSequencer::LooksLikeMidi(bytes), midi) << bytes.size();
}

class MidiPlayer : public zvtest::DiskAudioTest {
  protected:
    void SetUp() override {
        DiskAudioTest::SetUp();
        if (!std::ifstream(zv::MidiSequencer::DefaultSoundFont()).good())
            GTEST_SKIP() << "no General MIDI sound font";
    }
    void TearDown() override { Valiable::PreviewFilePath.clear(); }

    zvtest::FakeMessageBox messages_;
    zv::AudioOutput output_;
};

TEST_F(MidiPlayer, LoadPlaysAtOnceEvenWithABlankInThePath) {
    Valiable::PreviewFilePath = Write("my song.mid", MakeMidi(1));
    Frm_PlaySound player(messages_, output_);
    player.Form_Load();
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_EQ(player.Lbl_PlayFIle->text(), dir_.filePath("my song.mid"));
    ASSERT_TRUE(output_.WaitUntilDone(20000));
    EXPECT_GT(Peak(), 0.01f);
    // The music has ended but the file stays open until the window closes.
    EXPECT_TRUE(player.Sequencer().IsOpen());
}

TEST_F(MidiPlayer, PlayStartsAgainFromTheBeginningAndClosingReleases) {
    // Half a second of sound, then a long rest: only a start from the
    // beginning is heard again. The disk device runs far faster than real time.
    Valiable::PreviewFilePath = Write("rest.mid", MakeMidi(1, 4000));
    Frm_PlaySound player(messages_, output_);
    player.Form_Load();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    player.Cmd_Stop_Click();
    EXPECT_FALSE(output_.IsPlaying());
    player.Cmd_Play_Click();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(output_.IsPlaying());
    player.done(0);
    EXPECT_GT(Peak(), 0.01f);
    EXPECT_FALSE(output_.IsPlaying());
    EXPECT_FALSE(player.Sequencer().IsOpen());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MidiPlayer, FailureShowsTheMessageAndTheWindowStays) {
    const struct {
        const char* name;
        std::string content;  // empty: no file at all
        std::string soundFont;
    } cases[] = {{"TextWithMidName", "Just some text.\n", zv::MidiSequencer::DefaultSoundFont()},
                 {"MissingFile", "", zv::MidiSequencer::DefaultSoundFont()},
                 {"NoSoundFont", MakeMidi(1), "/nonexistent/none.sf2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        messages_.shown.clear();
        Valiable::PreviewFilePath =
            c.content.empty() ? dir_.filePath("none.mid").toStdU16String() : Write("bad.mid", c.content);
        Frm_PlaySound player(messages_, output_, nullptr, c.soundFont);
        player.Form_Load();
        EXPECT_EQ(messages_.shown, std::vector{zvtest::kCannotPlay});
        EXPECT_FALSE(output_.IsPlaying());
        // Nothing is open, so stopping fails and says so; so does another try.
        player.Cmd_Stop_Click();
        player.Cmd_Play_Click();
        EXPECT_EQ(messages_.shown, std::vector(3, zvtest::kCannotPlay));
    }
}

}  // namespace
