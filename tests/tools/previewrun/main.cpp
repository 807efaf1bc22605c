// previewrun FILE [--png OUT.png]: what a double-click on FILE in the file
// list would show, as one JSON object on standard output:
//   viewer    "text", "rtf", "picture", "wav", "midi" or "none", as the
//             dispatch decides by the file's extension
//   encoding  the encoding the text viewer read plain text in, or null
//   text      what the text viewer shows (UTF-8), or null
//   picture   {"width", "height"} in pixels as the image viewer shows it, or null
//   messages  [{"text", "title"}] of the message boxes the preview would show
//   ms        time to load and draw
// --png writes the picture as the image viewer shows it, on white. Runs
// without a display (offscreen) and without a sound device (sound goes to
// SDL's dummy driver unless SDL_AUDIODRIVER says otherwise).
// Exit status 0 when the preview ran, 2 for a wrong command line.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "shared/FileSystem.h"
#include "shared/MessageBox.h"
#include "shared/NativeName.h"
#include "shared/Valiable.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_PlaySound.h"
#include "viewers/Frm_TextView.h"
#include "viewers/PictureLoader.h"
#include "viewers/PreviewDispatch.h"
#include "viewers/WavPlayer.h"

namespace {

using Json = nlohmann::json;

struct RecordedMessages : zv::MessageBoxService {
    int Show(const std::u16string& prompt, int, const std::u16string& title) override {
        shown.push_back({{"text", zv::ToUtf8(prompt)}, {"title", zv::ToUtf8(title)}});
        return zv::kOk;
    }
    Json shown = Json::array();
};

}  // namespace

int main(int argc, char** argv) {
    const std::string file = argc > 1 ? argv[1] : "",
                      png = argc == 4 && argv[2] == std::string("--png") ? argv[3] : "";
    if (file.empty() || file.starts_with("--") || (argc != 2 && png.empty())) {
        std::fprintf(stderr, "usage: previewrun FILE [--png OUT.png]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER")) qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);

    RecordedMessages messages;
    Json result = {{"viewer", "none"}, {"encoding", nullptr}, {"text", nullptr}, {"picture", nullptr}};
    zv::PreviewDispatch dispatch(messages, zv::kPathSeparator);
    dispatch.openTextView = [&] {
        const bool rich = zv::PreviewDispatch::ExtensionKey(Valiable::PreviewFilePath) != u".TXT";
        result["viewer"] = rich ? "rtf" : "text";
        zv::Frm_TextView view(messages);
        if (!view.Form_Load()) return;
        result["text"] = view.RichText1->toPlainText().toStdString();
        if (!view.Encoding().empty()) result["encoding"] = view.Encoding();
    };
    dispatch.openImageView = [&] {
        result["viewer"] = "picture";
        // Drawn as far as the screen shows it, as the viewer does, but to the end.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const auto picture =
            zv::PictureLoader::Load(Valiable::PreviewFilePath, screen ? screen->logicalDotsPerInchX() : 96.0,
                                    screen ? screen->geometry().size() : QSize());
        if (!picture) {
            // The image viewer's failure message.
            messages.Show(u"このファイルは表示できません。", zv::kOkOnly, u"読み込みエラー");
            return;
        }
        result["picture"] = {{"width", picture->image.width()}, {"height", picture->image.height()}};
        if (png.empty()) return;
        QImage onWhite(picture->image.size(), QImage::Format_RGB32);
        onWhite.fill(Qt::white);
        QPainter(&onWhite).drawImage(0, 0, picture->image);
        if (!onWhite.save(QString::fromStdString(png), "PNG"))
            std::fprintf(stderr, "cannot write %s\n", png.c_str());
    };
    dispatch.playWav = [&](const std::u16string& path) {
        result["viewer"] = "wav";
        const bool playing = zv::PlayWavFile(path, zv::AudioOutput::Instance());
        zv::AudioOutput::Instance().Stop();
        return playing;
    };
    dispatch.openMidiPlayer = [&] {
        result["viewer"] = "midi";
        Frm_PlaySound player(messages, zv::AudioOutput::Instance());
        player.Form_Load();
        player.Form_Unload();
    };

    const QFileInfo info(QString::fromStdU16String(zv::FromNative(file)));
    const auto start = std::chrono::steady_clock::now();
    dispatch.F_File_DblClick(info.absolutePath().toStdU16String(), info.fileName().toStdU16String());
    result["ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    result["messages"] = messages.shown;
    std::printf("%s\n", result.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
    return 0;
}
