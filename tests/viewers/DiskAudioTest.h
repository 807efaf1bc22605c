#pragma once
// Sound tests play through SDL's disk driver, which writes the float samples
// the device would hear into a file the test then reads back.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace zvtest {

class DiskAudioTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        out_ = dir_.filePath("out.raw").toStdString();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out_.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "1", 1);
    }
    std::u16string Write(const std::string& name, const std::string& bytes) {
        return WriteFile(dir_, name, bytes);
    }
    std::vector<float> Heard() const {
        const std::string raw = ReadAll(out_);
        std::vector<float> heard(raw.size() / sizeof(float));
        std::memcpy(heard.data(), raw.data(), heard.size() * sizeof(float));
        return heard;
    }
    // The device heard count of the samples from `from` on, in order. Near,
    // not equal: decoders may scale 24- and 32-bit samples by 2^-31 or by
    // 1/(2^31 - 256).
    bool Heard(const std::vector<float>& samples, size_t from, size_t count) const {
        const std::vector<float> heard = Heard();
        for (size_t at = 0; at + count <= heard.size(); ++at) {
            size_t i = 0;
            while (i < count && std::fabs(heard[at + i] - samples[from + i]) < 1e-6f) ++i;
            if (i == count) return true;
        }
        return false;
    }
    // The loudest sample the device was given.
    float Peak() const {
        float peak = 0;
        for (float f : Heard())
            if (std::isfinite(f)) peak = std::max(peak, std::abs(f));
        return peak;
    }

    QTemporaryDir dir_;
    std::string out_;
};

}  // namespace zvtest
