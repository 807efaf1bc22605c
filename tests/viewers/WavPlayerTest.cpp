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

// A WAV file holding samples (16-bit values, widened or narrowed to bits);
// claimBytes > 0 makes the header claim more data than follows, as a writer
// that was cut off leaves it.
std::string MakeWav(const std::vector<int16_t>& samples, int rate, int channels, int bits = 16,
                    uint16_t tag = 1, uint32_t claimBytes = 0) {
    std::string data;
    for (int16_t v : samples) {
        if (tag == 3) {
            const float f = v / 32768.0f;
            data.append(reinterpret_cast<const char*>(&f), sizeof f);
        } else if (bits == 8) {
            data += static_cast<char>((v >> 8) + 128);
        } else {
            const int32_t wide = static_cast<int32_t>(v) * (1 << (bits - 16));
            for (int b = 0; b < bits / 8; ++b) data += static_cast<char>(wide >> (8 * b));
        }
    }
    const uint32_t dataBytes = claimBytes ? claimBytes : static_cast<uint32_t>(data.size());
    std::string s = "RIFF";
    Put32(s, 36 + dataBytes);
    s += "WAVEfmt ";
    Put32(s, 16);
    Put16(s, tag);
    Put16(s, static_cast<uint16_t>(channels));
    Put32(s, rate);
    Put32(s, rate * channels * bits / 8);
    Put16(s, static_cast<uint16_t>(channels * bits / 8));
    Put16(s, static_cast<uint16_t>(bits));
    s += "data";
    Put32(s, dataBytes);
    return s + data;
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
    // Near, not equal: decoders may scale 24- and 32-bit samples by 2^-31 or
    // by 1/(2^31 - 256).
    static bool Contains(const std::string& haystack, const std::vector<float>& samples, size_t from,
                         size_t count) {
        const size_t n = haystack.size() / sizeof(float);
        std::vector<float> heard(n);
        std::memcpy(heard.data(), haystack.data(), n * sizeof(float));
        for (size_t at = 0; at + count <= n; ++at) {
            size_t i = 0;
            while (i < count && std::fabs(heard[at + i] - samples[from + i]) < 1e-6f) ++i;
            if (i == count) return true;
        }
        return false;
    }
    static std::vector<float> Floats(const std::vector<int16_t>& pcm) {
        std::vector<float> f;
        for (int16_t v : pcm) f.push_back(v / 32768.0f);
        return f;
    }
};

struct PlayCase {
    const char* name;
    int bits, channels;
    uint16_t tag;
    size_t frames;
    bool cutOff;
};

class WavPlayTest : public WavDiskTest, public ::testing::WithParamInterface<PlayCase> {};

// Whatever way the file is read, the device hears what SDL's own decoder
// makes of it, from the first sample to the last.
TEST_P(WavPlayTest, PlayedSamplesReachTheDevice) {
    const PlayCase& c = GetParam();
    const std::vector<int16_t> pcm = Chirp(c.frames * c.channels, c.bits);
    const std::string whole = MakeWav(pcm, 16000, c.channels, c.bits, c.tag);
    zv::WavSamples expected;
    ASSERT_TRUE(zv::DecodeWav(whole, expected));
    const std::string file = c.cutOff ? MakeWav(pcm, 16000, c.channels, c.bits, c.tag, 1u << 30) : whole;
    zv::AudioOutput output;
    std::string why;
    ASSERT_TRUE(zv::PlayWavFile(Write("a.wav", file), output, &why)) << why;
    EXPECT_TRUE(output.IsPlaying());
    ASSERT_TRUE(output.WaitUntilDone(20000));
    output.Stop();
    const std::string written = Written();
    const size_t n = expected.samples.size();
    for (size_t from : {size_t{0}, n / 2, n - 1000})
        EXPECT_TRUE(Contains(written, expected.samples, from, 1000)) << from;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavPlayTest,
    ::testing::Values(PlayCase{"pcm16_mono_short", 16, 1, 1, 8000, false},
                      PlayCase{"pcm16_stereo_many_slices", 16, 2, 1, 60000, false},
                      PlayCase{"pcm8", 8, 1, 1, 40000, false}, PlayCase{"pcm24", 24, 2, 1, 40000, false},
                      PlayCase{"pcm32", 32, 1, 1, 40000, false}, PlayCase{"float32", 32, 1, 3, 40000, false},
                      PlayCase{"alaw_decoded_whole", 8, 2, 6, 40000, false},
                      PlayCase{"header_claims_more_than_the_file", 16, 1, 1, 40000, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WavDiskTest, LaterSoundReplacesTheOneStillPlaying) {
    const std::vector<int16_t> longSound = Chirp(16000 * 20, 5);  // 20 s
    const std::vector<int16_t> shortSound = Chirp(4000, 9);
    zv::AudioOutput output;
    ASSERT_TRUE(zv::PlayWavFile(Write("long.wav", MakeWav(longSound, 16000, 1)), output));
    ASSERT_TRUE(zv::PlayWavFile(Write("short.wav", MakeWav(shortSound, 16000, 1)), output));
    ASSERT_TRUE(output.WaitUntilDone(10000));  // the short one's end, long before 20 s
    output.Stop();
    const std::string written = Written();
    EXPECT_TRUE(Contains(written, Floats(shortSound), 0, 1000));
    EXPECT_TRUE(Contains(written, Floats(shortSound), 2900, 1000));
    EXPECT_FALSE(Contains(written, Floats(longSound), 16000 * 19, 1000));
}

}  // namespace
