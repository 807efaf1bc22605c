// Sound: WAV files decoded by SDL and MIDI files rendered by FluidSynth play
// through the shared output, whose device is SDL's disk driver here: it writes
// the float samples the device would hear into a file the test reads back.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "TestFiles.h"
#include "shared/Valiable.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_PlaySound.h"
#include "viewers/MidiSequencer.h"
#include "viewers/PreviewDispatch.h"
#include "viewers/WavPlayer.h"

namespace {

class DiskAudio : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", Out().c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    std::vector<float> Heard() const {
        const std::string raw = zvtest::ReadAll(Out());
        std::vector<float> heard(raw.size() / sizeof(float));
        std::memcpy(heard.data(), raw.data(), heard.size() * sizeof(float));
        return heard;
    }
    // The device heard count of the samples from `from` on, in order. Near,
    // not equal: decoders may scale 24- and 32-bit samples by 2^-31 or by
    // 1/(2^31 - 256).
    bool Heard(const std::vector<float>& samples, size_t from, size_t count) const {
        const std::vector<float> heard = Heard();
        return std::search(heard.begin(), heard.end(), samples.begin() + from, samples.begin() + from + count,
                           [](float a, float b) { return std::fabs(a - b) < 1e-6f; }) != heard.end();
    }

    std::string Out() const { return dir_.filePath("out.raw").toStdString(); }

    QTemporaryDir dir_;
};

// v as the given number of little-endian bytes.
std::string Le(uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
    return s;
}

// A WAV file holding samples (16-bit values, widened or narrowed to bits);
// claimBytes > 0 makes the header claim more data than follows, as a writer
// that was cut off leaves it.
std::string MakeWav(const std::vector<int16_t>& samples, int rate, int channels, int bits = 16,
                    uint16_t tag = 1, uint32_t claimBytes = 0) {
    std::string data;
    for (int16_t v : samples) {
        const float f = v / 32768.0f;
        if (tag == 3)
            data.append(reinterpret_cast<const char*>(&f), sizeof f);
        else if (bits == 8)
            data += char((v >> 8) + 128);
        else
            data += Le(uint32_t(v * (1 << (bits - 16))), bits / 8);
    }
    const uint32_t size = claimBytes ? claimBytes : uint32_t(data.size()), align = channels * bits / 8;
    return "RIFF" + Le(36 + size, 4) + "WAVEfmt " + Le(16, 4) + Le(tag, 2) + Le(channels, 2) + Le(rate, 4) +
           Le(rate * align, 4) + Le(align, 2) + Le(bits, 2) + "data" + Le(size, 4) + data;
}

// A signal no stretch of silence or of another sound looks like.
std::vector<int16_t> Chirp(size_t count, int seed) {
    std::vector<int16_t> v(count);
    for (size_t i = 0; i < count; ++i)
        v[i] = int16_t(12000 * std::sin(0.001 * i * i / 50.0 + seed) + (i * 7 + seed * 13) % 97);
    return v;
}

std::vector<float> Floats(const std::vector<int16_t>& pcm) {
    std::vector<float> f;
    for (int16_t v : pcm) f.push_back(v / 32768.0f);
    return f;
}

TEST(WavDecode, BrokenDataIsRefused) {
    const std::string good = MakeWav(Chirp(100, 1), 8000, 1);
    for (const std::string& bad : {std::string(), good.substr(0, 30), std::string("RIFF\0\0\0\0WAVE", 12)}) {
        zv::WavSamples wav;
        EXPECT_FALSE(zv::DecodeWav(bad, wav)) << bad.size();
    }
}

// Whatever way the file is read (whole or streamed in slices), the device
// hears what SDL's own decoder makes of it, from the first sample to the last:
// 16-bit short, stereo longer than the loader reads ahead, 8, 24 and 32 bits, float, A-law
// (decoded whole) and a header that claims more than the file holds.
TEST_F(DiskAudio, PlayedSamplesReachTheDevice) {
    // Bits, channels, format tag, frames, and whether the header claims more.
    const std::tuple<int, int, uint16_t, size_t, bool> cases[] = {
        {16, 1, 1, 8000, false},  {16, 2, 1, 200000, false}, {8, 1, 1, 40000, false},
        {24, 2, 1, 40000, false}, {32, 1, 1, 40000, false},  {32, 1, 3, 40000, false},
        {8, 2, 6, 40000, false},  {16, 1, 1, 40000, true}};
    for (const auto& [bits, channels, tag, frames, cutOff] : cases) {
        SCOPED_TRACE(testing::Message() << bits << " bits, tag " << tag << (cutOff ? ", cut off" : ""));
        const std::vector<int16_t> pcm = Chirp(frames * channels, bits + tag);
        const std::string whole = MakeWav(pcm, 16000, channels, bits, tag);
        zv::WavSamples expected;
        ASSERT_TRUE(zv::DecodeWav(whole, expected));
        // The decoder itself gives 16-bit samples back unchanged.
        if (bits == 16)
            EXPECT_EQ(std::tuple(expected.sampleRate, expected.channels, expected.samples),
                      std::tuple(16000, channels, Floats(pcm)));
        zv::AudioOutput output;
        std::string why;
        const std::string file = cutOff ? MakeWav(pcm, 16000, channels, bits, tag, 1u << 30) : whole;
        ASSERT_TRUE(zv::PlayWavFile(zvtest::WriteFile(dir_, "a.wav", file), output, &why)) << why;
        ASSERT_TRUE(output.WaitUntilDone(20000));
        output.Stop();
        const size_t n = expected.samples.size();
        for (size_t from : {size_t{0}, n / 2, n - 1000})
            EXPECT_TRUE(Heard(expected.samples, from, 1000)) << from;
    }
}

// A double-click on a WAV plays it on the program's one output, in place of
// the sound still playing, without a message; one the player cannot play (a
// missing file) shows the playback error.
TEST_F(DiskAudio, DoubleClickedWavReplacesTheSoundOnTheSharedOutput) {
    const std::vector<int16_t> longSound = Chirp(16000 * 20, 5), sound = Chirp(4000, 3);  // 20 s, 1/4 s
    zv::AudioOutput& output = zv::AudioOutput::Instance();
    ASSERT_TRUE(zv::PlayWavFile(zvtest::WriteFile(dir_, "long.wav", MakeWav(longSound, 16000, 1)), output));
    zvtest::WriteFile(dir_, "d.wav", MakeWav(sound, 16000, 1));
    zvtest::FakeMessageBox boxes;
    zv::PreviewDispatch dispatch(boxes, u'/');
    dispatch.F_File_DblClick(dir_.path().toStdU16String(), u"d.wav");
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_TRUE(output.WaitUntilDone(10000));  // the short one's end, long before 20 s
    output.Stop();
    EXPECT_TRUE(Heard(Floats(sound), 0, 1000));
    EXPECT_FALSE(Heard(Floats(longSound), 16000 * 19, 1000));
    dispatch.F_File_DblClick(u"/nonexistent-folder-zv", u"gone.wav");
    EXPECT_EQ(boxes.shown, std::vector{zvtest::kCannotPlay});
}

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

// Variable-length delta time.
std::string Delta(unsigned v) {
    std::string delta(1, char(v & 0x7F));
    while (v >>= 7) delta.insert(delta.begin(), char(0x80 | (v & 0x7F)));
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

// A generated file is MIDI, so is one whose only track is empty and ends the
// file; one under another magic, a track cut short, a division of 0 and a huge header length are not.
TEST(MidiRecognition, LooksLikeMidi) {
    const std::pair<std::string, bool> cases[] = {{MakeMidi(1), true},
                                                  {MakeMidi(1).substr(0, 14) + "MTrk" + Be32(0), true},
                                                  {"RIFF" + MakeMidi(1).substr(4), false},
                                                  {MakeMidi(1).substr(0, 30), false},
                                                  {MakeMidi(1).replace(12, 2, 2, 0), false},
                                                  {MakeMidi(1).replace(4, 1, 1, 0x7F), false}};
    for (const auto& [bytes, midi] : cases)
        EXPECT_EQ(zv::MidiSequencer::LooksLikeMidi(bytes), midi) << bytes.size();
}

class MidiPlayer : public DiskAudio {
  protected:
    void SetUp() override {
        DiskAudio::SetUp();
        if (!std::ifstream(zv::MidiSequencer::DefaultSoundFont()).good())
            GTEST_SKIP() << "no General MIDI sound font";
    }

    zvtest::FakeMessageBox messages_;
    zv::AudioOutput output_;
};

TEST_F(MidiPlayer, LoadPlaysAtOncePlayStartsAgainFromTheBeginningAndClosingReleases) {
    // Half a second of sound, then a long rest: only a start from the
    // beginning is heard again. The disk device runs far faster than real time.
    Valiable::PreviewFilePath = zvtest::WriteFile(dir_, "my song.mid", MakeMidi(1, 4000));
    Frm_PlaySound player(messages_, output_);
    player.Form_Load();
    EXPECT_EQ(player.Lbl_PlayFIle->text(), dir_.filePath("my song.mid"));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_TRUE(output_.IsPlaying());
    player.Cmd_Stop_Click();
    EXPECT_FALSE(output_.IsPlaying());
    player.Cmd_Play_Click();
    // Until the device has been given half a second or more, however busy the machine.
    for (int i = 0; i < 500 && Heard().size() < 44100; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(output_.IsPlaying());
    player.done(0);
    // The device was given more than silence.
    const std::vector<float> heard = Heard();
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](float f) { return std::fabs(f) > 0.01f; }));
    EXPECT_FALSE(player.Sequencer().IsOpen());
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(MidiPlayer, FailureShowsTheMessageAndTheWindowStays) {
    // The file's content and the sound font.
    const std::pair<std::string, std::string> cases[] = {
        {"Just some text.\n", zv::MidiSequencer::DefaultSoundFont()}, {MakeMidi(1), "/nonexistent/none.sf2"}};
    for (const auto& [content, font] : cases) {
        SCOPED_TRACE(content + " " + font);
        messages_.shown.clear();
        Valiable::PreviewFilePath = zvtest::WriteFile(dir_, "bad.mid", content);
        Frm_PlaySound player(messages_, output_, nullptr, font);
        player.Form_Load();
        EXPECT_EQ(messages_.shown, std::vector{zvtest::kCannotPlay});
        // Nothing is open, so stopping fails and says so; so does another try.
        player.Cmd_Stop_Click();
        player.Cmd_Play_Click();
        EXPECT_EQ(messages_.shown, std::vector(3, zvtest::kCannotPlay));
    }
}

}  // namespace
