#pragma once
// Sound tests play through SDL's disk driver, which writes what the device
// would hear into a file the test then reads back.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

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
    // A file in the test's own folder.
    std::u16string Write(const std::string& name, const std::string& bytes) {
        const QString path = dir_.filePath(QString::fromStdString(name));
        std::ofstream(path.toStdString(), std::ios::binary) << bytes;
        return path.toStdU16String();
    }
    std::string Written() const { return ReadAll(out_); }

    QTemporaryDir dir_;
    std::string out_;
};

}  // namespace zvtest
