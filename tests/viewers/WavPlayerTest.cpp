// WAV sound: decoded by SDL, played through the shared output; what the
// device hears is read back from SDL's disk driver.

#include <gtest/gtest.h>

#include "DiskAudioTest.h"
#include "viewers/WavPlayer.h"

namespace {

void Put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += char(v >> (8 * i));
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
            Put(data, uint32_t(int32_t(v) * (1 << (bits - 16))), bits / 8);
    }
    const uint32_t dataBytes = claimBytes ? claimBytes : uint32_t(data.size());
    std::string s = "RIFF";
    Put(s, 36 + dataBytes, 4);
    s += "WAVEfmt ";
    Put(s, 16, 4), Put(s, tag, 2), Put(s, uint32_t(channels), 2), Put(s, uint32_t(rate), 4);
    Put(s, uint32_t(rate * channels * bits / 8), 4), Put(s, uint32_t(channels * bits / 8), 2);
    Put(s, uint32_t(bits), 2);
    s += "data";
    Put(s, dataBytes, 4);
    return s + data;
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

TEST(WavDecode, SamplesComeOutUnchangedAndBrokenDataIsRefused) {
    for (const auto& [rate, channels] : {std::pair{8000, 1}, std::pair{48000, 2}}) {
        const std::vector<int16_t> pcm = Chirp(4000 * channels, rate);
        zv::WavSamples wav;
        ASSERT_TRUE(zv::DecodeWav(MakeWav(pcm, rate, channels), wav));
        EXPECT_EQ(wav.sampleRate, rate);
        EXPECT_EQ(wav.channels, channels);
        EXPECT_EQ(wav.samples, Floats(pcm));
    }
    const std::string good = MakeWav(Chirp(100, 1), 8000, 1);
    for (const std::string& bad : {std::string(), std::string("RIFF"), std::string("not a wav at all"),
                                   good.substr(0, 30), std::string("RIFF\0\0\0\0WAVE", 12)}) {
        zv::WavSamples wav;
        std::string why;
        EXPECT_FALSE(zv::DecodeWav(bad, wav, &why)) << bad.size();
        EXPECT_FALSE(why.empty());
    }
}

using WavPlay = zvtest::DiskAudioTest;

// Whatever way the file is read (whole or streamed in slices), the device
// hears what SDL's own decoder makes of it, from the first sample to the last.
TEST_F(WavPlay, PlayedSamplesReachTheDevice) {
    const struct {
        const char* name;
        int bits, channels;
        uint16_t tag;
        size_t frames;
        bool cutOff;
    } cases[] = {{"pcm16_mono_short", 16, 1, 1, 8000, false},
                 {"pcm16_stereo_many_slices", 16, 2, 1, 60000, false},
                 {"pcm8", 8, 1, 1, 40000, false},
                 {"pcm24", 24, 2, 1, 40000, false},
                 {"pcm32", 32, 1, 1, 40000, false},
                 {"float32", 32, 1, 3, 40000, false},
                 {"alaw_decoded_whole", 8, 2, 6, 40000, false},
                 {"header_claims_more", 16, 1, 1, 40000, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int16_t> pcm = Chirp(c.frames * c.channels, c.bits + c.tag);
        const std::string whole = MakeWav(pcm, 16000, c.channels, c.bits, c.tag);
        zv::WavSamples expected;
        ASSERT_TRUE(zv::DecodeWav(whole, expected));
        zv::AudioOutput output;
        std::string why;
        const std::string file = c.cutOff ? MakeWav(pcm, 16000, c.channels, c.bits, c.tag, 1u << 30) : whole;
        ASSERT_TRUE(zv::PlayWavFile(Write("a.wav", file), output, &why)) << why;
        EXPECT_TRUE(output.IsPlaying());
        ASSERT_TRUE(output.WaitUntilDone(20000));
        output.Stop();
        const size_t n = expected.samples.size();
        for (size_t from : {size_t{0}, n / 2, n - 1000})
            EXPECT_TRUE(Heard(expected.samples, from, 1000)) << from;
    }
}

TEST_F(WavPlay, LaterSoundReplacesTheOneStillPlaying) {
    const std::vector<int16_t> longSound = Chirp(16000 * 20, 5);  // 20 s
    const std::vector<int16_t> shortSound = Chirp(4000, 9);
    zv::AudioOutput output;
    ASSERT_TRUE(zv::PlayWavFile(Write("long.wav", MakeWav(longSound, 16000, 1)), output));
    ASSERT_TRUE(zv::PlayWavFile(Write("short.wav", MakeWav(shortSound, 16000, 1)), output));
    ASSERT_TRUE(output.WaitUntilDone(10000));  // the short one's end, long before 20 s
    output.Stop();
    EXPECT_TRUE(Heard(Floats(shortSound), 0, 1000));
    EXPECT_TRUE(Heard(Floats(shortSound), 2900, 1000));
    EXPECT_FALSE(Heard(Floats(longSound), 16000 * 19, 1000));
}

}  // namespace
