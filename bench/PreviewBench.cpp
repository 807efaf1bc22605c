// The previews of large files: a 200 MB Shift-JIS text in the text viewer
// (targets: peak memory under three times the file, one copy of the text
// kept) and a 100 MB WAV (target: sound reaches the device within 0.5 s).
// Each measures its own peak resident memory against what the process held
// before it began. Sound goes to SDL's disk driver, so no sound card is needed.
#include <unicode/ucnv.h>

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "shared/MessageBox.h"
#include "shared/Valiable.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_TextView.h"
#include "viewers/WavPlayer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// A memory figure of /proc/self/status in bytes: VmRSS resident now, VmHWM
// the peak since the last ResetPeak.
long long StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1) * 1024;
    return 0;
}
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

class NoMessages : public zv::MessageBoxService {
  public:
    int Show(const std::u16string& prompt, int, const std::u16string&) override {
        std::fprintf(stderr, "message: %s\n", QString::fromStdU16String(prompt).toUtf8().constData());
        return zv::kOk;
    }
};

// Japanese prose with digits and punctuation, in Shift-JIS, CR LF lines.
void WriteShiftJis(const std::string& path, size_t bytes) {
    const char* lines[] = {"第%d章　吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。",
                           "%d行目：見積書（税込１２，３４５円）を添付いたしますので、ご確認ください。",
                           "カタカナ混じりのテキスト、ファイル名の一括変更 No.%d を試しています。"};
    UErrorCode status = U_ZERO_ERROR;
    UConverter* sjis = ucnv_open("windows-31j", &status);
    std::ofstream out(path, std::ios::binary);
    size_t written = 0;
    char utf8[512], encoded[1024];
    for (int n = 0; written < bytes; ++n) {
        std::snprintf(utf8, sizeof utf8, lines[n % 3], n);
        std::u16string text = QString::fromUtf8(utf8).toStdU16String() + u"\r\n";
        status = U_ZERO_ERROR;
        const int32_t len =
            ucnv_fromUChars(sjis, encoded, sizeof encoded, reinterpret_cast<const UChar*>(text.data()),
                            static_cast<int32_t>(text.size()), &status);
        out.write(encoded, len);
        written += static_cast<size_t>(len);
    }
    ucnv_close(sjis);
}

void Put(std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(v >> (8 * i)));
}

// 16-bit stereo at 44.1 kHz: a tone, so the first sound is never silence.
void WriteWav(const std::string& path, uint32_t dataBytes) {
    std::ofstream out(path, std::ios::binary);
    out << "RIFF";
    Put(out, 36 + dataBytes, 4);
    out << "WAVEfmt ";
    Put(out, 16, 4);
    Put(out, 1, 2);
    Put(out, 2, 2);
    Put(out, 44100, 4);
    Put(out, 44100 * 4, 4);
    Put(out, 4, 2);
    Put(out, 16, 2);
    out << "data";
    Put(out, dataBytes, 4);
    std::string block(1 << 16, '\0');
    for (size_t i = 0; i < block.size(); i += 2) {
        const int16_t v = static_cast<int16_t>(8000 + (i % 200) * 50);
        block[i] = static_cast<char>(v & 0xFF);
        block[i + 1] = static_cast<char>(v >> 8);
    }
    for (uint32_t done = 0; done < dataBytes; done += block.size())
        out.write(block.data(), std::min<uint32_t>(block.size(), dataBytes - done));
}

void TextBench(const QTemporaryDir& tmp) {
    const std::string path = tmp.filePath("big.txt").toStdString();
    const size_t size = (std::getenv("ZV_BENCH_TEXT_MB") ? std::atoi(std::getenv("ZV_BENCH_TEXT_MB")) : 200) *
                        size_t{1000 * 1000};
    WriteShiftJis(path, size);
    const long long before = StatusBytes("VmRSS");
    ResetPeak();
    const auto start = Clock::now();
    {
        Valiable::PreviewFilePath = QString::fromStdString(path).toStdU16String();
        NoMessages messages;
        zv::Frm_TextView view(messages);
        const bool loaded = view.Form_Load();
        const double seconds = Seconds(start);
        const long long peak = StatusBytes("VmHWM") - before;
        const long long kept = StatusBytes("VmRSS") - before;
        std::printf(
            "text: %.0f MB Shift-JIS, %s in %.2f s; peak %.0f MB = %.2f x the file (target < 3), "
            "%.0f MB kept = %.2f x\n",
            size / 1e6, loaded ? "shown" : "NOT SHOWN", seconds, peak / 1e6, double(peak) / size, kept / 1e6,
            double(kept) / size);
    }
    std::remove(path.c_str());
}

void WavBench(const QTemporaryDir& tmp) {
    const std::string path = tmp.filePath("big.wav").toStdString();
    const std::string heard = tmp.filePath("heard.raw").toStdString();
    const uint32_t size = 100u * 1000 * 1000;
    WriteWav(path, size);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heard.c_str(), 1);
    const long long before = StatusBytes("VmRSS");
    ResetPeak();
    zv::AudioOutput output;
    const auto start = Clock::now();
    std::string why;
    const bool playing = zv::PlayWavFile(QString::fromStdString(path).toStdU16String(), output, &why);
    const double returned = Seconds(start);
    double firstSound = -1;
    while (playing && Seconds(start) < 10) {
        std::ifstream in(heard, std::ios::binary);
        std::string got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (got.find_first_not_of('\0') != std::string::npos) {
            firstSound = Seconds(start);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));  // let it play on a little
    const long long peak = StatusBytes("VmHWM") - before;
    output.Stop();
    std::printf(
        "wav: %.0f MB, %s; call returned in %.3f s, first sound at %.3f s (target < 0.5); "
        "peak %.0f MB\n",
        size / 1e6, playing ? "playing" : why.c_str(), returned, firstSound, peak / 1e6);
    std::remove(path.c_str());
    std::remove(heard.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    if (!tmp.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "text") TextBench(tmp);
    if (only.empty() || only == "wav") WavBench(tmp);
    return 0;
}
