#include "viewers/WavStream.h"

#include "viewers/PreviewFile.h"
#include "viewers/WavPlayer.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace zv {
namespace {

constexpr size_t kSliceFrames = 16384;
constexpr size_t kAheadFrames = 4 * 48000;  // about four seconds

uint32_t Le(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// One sample of container bytes. Integer samples narrower than their
// container are left-justified in it, so the container's width is what counts.
float Sample(const unsigned char* p, uint16_t formatTag, size_t container) {
    if (formatTag == 3) {
        if (container == 4) {
            float f;
            std::memcpy(&f, p, sizeof f);
            return f;
        }
        double d;
        std::memcpy(&d, p, sizeof d);
        return static_cast<float>(d);
    }
    switch (container) {
        case 1:
            return (static_cast<int>(p[0]) - 128) / 128.0f;
        case 2:
            return static_cast<int16_t>(Le(p, 2)) / 32768.0f;
        case 3:
            return static_cast<int32_t>(Le(p, 3) << 8) / 2147483648.0f;
        default:
            return static_cast<int32_t>(Le(p, 4)) / 2147483648.0f;
    }
}

}  // namespace

bool WavLayout::Streamable() const {
    if (channels <= 0 || channels > 8 || sampleRate <= 0 || blockAlign % channels != 0) return false;
    const int container = blockAlign / channels;
    const bool integer = formatTag == 1 && container >= 1 && container <= 4 && bitsPerSample > 0 &&
                         bitsPerSample <= 8 * container;
    const bool real = formatTag == 3 && (container == 4 || container == 8) && bitsPerSample == 8 * container;
    return integer || real;
}

bool WavLayout::SdlDecodes() const {
    return (formatTag == 2 || formatTag == 0x11 || formatTag == 6 || formatTag == 7) && channels > 0 &&
           channels <= 8 && sampleRate > 0;
}

bool ReadWavLayout(FILE* file, WavLayout& layout, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    layout = {};
    unsigned char head[12];
    if (std::fread(head, 1, 12, file) != 12 || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        return fail("no RIFF WAVE header");
    if (std::fseek(file, 0, SEEK_END) != 0) return fail("cannot seek");
    const long fileSize = std::ftell(file);
    uint64_t pos = 12;
    bool haveFormat = false;
    while (pos + 8 <= static_cast<uint64_t>(fileSize)) {
        unsigned char chunk[8];
        if (std::fseek(file, static_cast<long>(pos), SEEK_SET) != 0 || std::fread(chunk, 1, 8, file) != 8)
            break;
        const uint64_t size = Le(chunk + 4, 4);
        const uint64_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            unsigned char f[26] = {};
            if (size < 16 || std::fread(f, 1, std::min<uint64_t>(size, sizeof f), file) < 16)
                return fail("broken format chunk");
            layout.formatTag = static_cast<uint16_t>(Le(f, 2));
            layout.channels = static_cast<int>(Le(f + 2, 2));
            layout.sampleRate = static_cast<int>(std::min<uint32_t>(Le(f + 4, 4), 0x7FFFFFFF));
            layout.blockAlign = static_cast<int>(Le(f + 12, 2));
            layout.bitsPerSample = static_cast<int>(Le(f + 14, 2));
            if (layout.formatTag == 0xFFFE && size >= 26)
                layout.formatTag = static_cast<uint16_t>(Le(f + 24, 2));
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return fail("sample data before the format");
            layout.dataOffset = body;
            // Writers that were cut off leave 0 or a huge size here.
            const uint64_t left = static_cast<uint64_t>(fileSize) - body;
            layout.dataBytes = size == 0 || size > left ? left : size;
            return true;
        }
        pos = body + size + (size & 1);
    }
    return fail(haveFormat ? "no sample data" : "no format chunk");
}

struct WavStreamSource::Shared {
    std::unique_ptr<FILE, int (*)(FILE*)> file{nullptr, &std::fclose};
    WavLayout layout;
    uint64_t bytesLeft = 0;

    std::mutex mutex;
    std::condition_variable room;  // the player took samples, or the loader must stop
    std::deque<std::vector<float>> blocks;
    size_t frontUsed = 0;  // floats of blocks.front() already played
    size_t framesAhead = 0;
    bool finished = false;
    bool cancelled = false;
    std::thread loader;

    // Reads and converts one slice; false at the end of the data.
    bool LoadSlice() {
        const size_t frameBytes = static_cast<size_t>(layout.blockAlign);
        const size_t want = static_cast<size_t>(std::min<uint64_t>(bytesLeft, kSliceFrames * frameBytes));
        std::vector<unsigned char> raw(want);
        const size_t got = want ? std::fread(raw.data(), 1, want, file.get()) : 0;
        bytesLeft -= got;
        const size_t frames = got / frameBytes;
        const size_t container = frameBytes / static_cast<size_t>(layout.channels);
        std::vector<float> block(frames * layout.channels);
        for (size_t i = 0; i < block.size(); ++i)
            block[i] = Sample(raw.data() + i * container, layout.formatTag, container);
        std::lock_guard lock(mutex);
        if (frames > 0) {
            blocks.push_back(std::move(block));
            framesAhead += frames;
        }
        if (got < want || bytesLeft == 0 || frames == 0) finished = true;
        return !finished;
    }

    // Compressed sound: SDL's loader decodes the whole file, here rather
    // than on the caller's thread; the player hears silence until it is done.
    void DecodeWhole() {
        std::string bytes;
        char chunk[1 << 16];
        size_t got;
        std::fseek(file.get(), 0, SEEK_SET);
        while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0 && bytes.size() < kMaxPreviewBytes) {
            bytes.append(chunk, got);
            std::lock_guard lock(mutex);
            if (cancelled) return;
        }
        WavSamples wav;
        const bool decoded = DecodeWav(bytes, wav) && wav.channels == layout.channels && !wav.samples.empty();
        std::lock_guard lock(mutex);
        if (decoded) {
            framesAhead += wav.samples.size() / wav.channels;
            blocks.push_back(std::move(wav.samples));
        }
        finished = true;
    }

    void Load() {
        for (;;) {
            {
                std::unique_lock lock(mutex);
                room.wait(lock, [&] { return cancelled || framesAhead < kAheadFrames; });
                if (cancelled) return;
            }
            if (!LoadSlice()) return;
        }
    }
};

WavStreamSource::WavStreamSource(std::unique_ptr<FILE, int (*)(FILE*)> file, const WavLayout& layout)
    : shared_(std::make_shared<Shared>()) {
    shared_->file = std::move(file);
    shared_->layout = layout;
    shared_->bytesLeft = layout.dataBytes;
    if (std::fseek(shared_->file.get(), static_cast<long>(layout.dataOffset), SEEK_SET) != 0) {
        shared_->finished = true;
        return;
    }
    if (!layout.Streamable())
        shared_->loader = std::thread([s = shared_] { s->DecodeWhole(); });
    else if (shared_->LoadSlice())
        shared_->loader = std::thread([s = shared_] { s->Load(); });
}

WavStreamSource::~WavStreamSource() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->cancelled = true;
    }
    shared_->room.notify_all();
    if (shared_->loader.joinable()) shared_->loader.join();
}

int WavStreamSource::Read(float* out, int frameCount) {
    Shared& s = *shared_;
    const size_t channels = static_cast<size_t>(s.layout.channels);
    size_t wanted = static_cast<size_t>(std::max(0, frameCount)) * channels;
    size_t written = 0;
    {
        std::lock_guard lock(s.mutex);
        while (written < wanted && !s.blocks.empty()) {
            const std::vector<float>& front = s.blocks.front();
            const size_t n = std::min(wanted - written, front.size() - s.frontUsed);
            std::memcpy(out + written, front.data() + s.frontUsed, n * sizeof(float));
            written += n;
            s.frontUsed += n;
            if (s.frontUsed == front.size()) {
                s.blocks.pop_front();
                s.frontUsed = 0;
            }
        }
        s.framesAhead -= written / channels;
        if (written < wanted && s.finished) return static_cast<int>(written / channels);
    }
    s.room.notify_one();
    std::fill(out + written, out + wanted, 0.0f);
    return frameCount;
}

}  // namespace zv
