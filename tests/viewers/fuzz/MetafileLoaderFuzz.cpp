// libFuzzer target of the metafile loader: any bytes must give a picture or a
// refusal, never a crash, a leak or a hang.

#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "viewers/MetafileLoader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Text records need the font database, which needs an application.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // A small canvas keeps each run quick; the records are played in full.
    (void)zv::MetafileLoader::Load(bytes, 96, 64);
    return 0;
}
