#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <fstream>

#include "DiskAudioTest.h"
#include "TestFiles.h"
#include "viewers/WavPlayer.h"

namespace {

void Put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 16-bit PCM WAV file holding samples.
std::string MakeWav(const std::vector<int16_t>& samples, int rate, int channels) {
    std::string s = "RIFF";
    Put32(s, 36 + static_cast<uint32_t>(samples.size() * 2));
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, 1);
    Put16(s, static_cast<uint16_t>(channels));
    Put32(s, rate);
    Put32(s, rate * channels * 2);
    Put16(s, static_cast<uint16_t>(channels * 2));
    Put16(s, 16);
    s += "data";
    Put32(s, static_cast<uint32_t>(samples.size() * 2));
    for (int16_t v : samples) Put16(s, static_cast<uint16_t>(v));
    return s;
}

// A signal no stretch of silence or of another sound looks like.
std::vector<int16_t> Chirp(size_t count, int seed) {
    std::vector<int16_t> v(count);
    for (size_t i = 0; i < count; ++i)
        v[i] = static_cast<int16_t>(12000 * std::sin(0.001 * i * i / 50.0 + seed) + (i * 7 + seed * 13) % 97);
    return v;
}

struct FormatCase {
    int rate, channels;
};

class WavDecodeTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WavDecodeTest, SamplesComeOutUnchanged) {
    const auto [rate, channels] = GetParam();
    const std::vector<int16_t> pcm = Chirp(4000 * channels, rate);
    zv::WavSamples wav;
    ASSERT_TRUE(zv::DecodeWav(MakeWav(pcm, rate, channels), wav));
    EXPECT_EQ(wav.sampleRate, rate);
    EXPECT_EQ(wav.channels, channels);
    ASSERT_EQ(wav.samples.size(), pcm.size());
    for (size_t i = 0; i < pcm.size(); ++i) ASSERT_FLOAT_EQ(wav.samples[i], pcm[i] / 32768.0f) << i;
}

INSTANTIATE_TEST_SUITE_P(Formats, WavDecodeTest,
                         ::testing::Values(FormatCase{8000, 1}, FormatCase{48000, 2}));

TEST(WavDecode, BrokenDataIsRefused) {
    std::string good = MakeWav(Chirp(100, 1), 8000, 1);
    for (const std::string& bad : {std::string(), std::string("RIFF"), std::string("not a wav at all"),
                                   good.substr(0, 30), std::string("RIFF\0\0\0\0WAVE", 12)}) {
        zv::WavSamples wav;
        std::string why;
        EXPECT_FALSE(zv::DecodeWav(bad, wav, &why)) << bad.size();
        EXPECT_FALSE(why.empty());
    }
}

// Plays through SDL's disk driver, which writes what the device would hear
// into a file; the played file's samples must be found there in order.
class WavDiskTest : public zvtest::DiskAudioTest {
  protected:
    static bool Contains(const std::string& haystack, const std::vector<int16_t>& pcm, size_t from,
                         size_t count) {
        std::string needle(count * sizeof(float), '\0');
        for (size_t i = 0; i < count; ++i) {
            const float f = pcm[from + i] / 32768.0f;
            std::memcpy(&needle[i * sizeof(float)], &f, sizeof f);
        }
        return haystack.find(needle) != std::string::npos;
    }
};

TEST_F(WavDiskTest, PlayedSamplesReachTheDevice) {
    const std::vector<int16_t> pcm = Chirp(8000, 3);
    zv::AudioOutput output;
    std::string why;
    ASSERT_TRUE(zv::PlayWavFile(Write("a.wav", MakeWav(pcm, 16000, 1)), output, &why)) << why;
    EXPECT_TRUE(output.IsPlaying());
    ASSERT_TRUE(output.WaitUntilDone(10000));
    output.Stop();
    const std::string written = Written();
    EXPECT_TRUE(Contains(written, pcm, 0, 1000));
    EXPECT_TRUE(Contains(written, pcm, 3500, 1000));
    EXPECT_TRUE(Contains(written, pcm, 7000, 1000));
}

TEST_F(WavDiskTest, LaterSoundReplacesTheOneStillPlaying) {
    const std::vector<int16_t> longSound = Chirp(16000 * 20, 5);  // 20 s
    const std::vector<int16_t> shortSound = Chirp(4000, 9);
    zv::AudioOutput output;
    ASSERT_TRUE(zv::PlayWavFile(Write("long.wav", MakeWav(longSound, 16000, 1)), output));
    ASSERT_TRUE(zv::PlayWavFile(Write("short.wav", MakeWav(shortSound, 16000, 1)), output));
    ASSERT_TRUE(output.WaitUntilDone(10000));  // the short one's end, long before 20 s
    output.Stop();
    const std::string written = Written();
    EXPECT_TRUE(Contains(written, shortSound, 0, 1000));
    EXPECT_TRUE(Contains(written, shortSound, 2900, 1000));
    EXPECT_FALSE(Contains(written, longSound, 16000 * 19, 1000));
}

}  // namespace
