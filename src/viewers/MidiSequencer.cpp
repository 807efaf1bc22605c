#include "viewers/MidiSequencer.h"

#include <fluidsynth.h>

#include <cstdint>
#include <mutex>

#include "viewers/AudioOutput.h"
#include "viewers/PreviewFile.h"

namespace zv {
namespace {

constexpr size_t kMaxMidiFileSize = 64u * 1024 * 1024;

uint32_t Be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}

// FluidSynth reports through its log; the player reports through its codes.
void Quiet(int, const char*, void*) {}

}  // namespace

// Synthesizer and file player; the audio thread pulls samples through Read.
class MidiSequencer::Source : public AudioSource {
  public:
    ~Source() override {
        if (player_) delete_fluid_player(player_);
        if (synth_) delete_fluid_synth(synth_);
        if (settings_) delete_fluid_settings(settings_);
    }

    int Create(const std::string& soundFont, const std::string& midi) {
        settings_ = new_fluid_settings();
        if (!settings_) return kNoSynth;
        fluid_settings_setnum(settings_, "synth.sample-rate", kSampleRate);
        fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
        synth_ = new_fluid_synth(settings_);
        if (!synth_ || fluid_synth_sfload(synth_, soundFont.c_str(), 1) == FLUID_FAILED) return kNoSynth;
        player_ = new_fluid_player(synth_);
        if (!player_ || fluid_player_add_mem(player_, midi.data(), midi.size()) != FLUID_OK) return kNotMidi;
        return kOk;
    }

    // Starts the player; the first call begins at the start of the music.
    bool Start() {
        std::lock_guard lock(mutex_);
        return fluid_player_play(player_) == FLUID_OK;
    }
    void Pause() {
        std::lock_guard lock(mutex_);
        fluid_player_stop(player_);
        fluid_synth_all_notes_off(synth_, -1);
    }

    int Read(float* out, int frameCount) override {
        std::lock_guard lock(mutex_);
        if (fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) {
            // Let the last notes ring out, then end the sound.
            if (tail_ <= 0) return 0;
            tail_ -= frameCount;
        }
        fluid_synth_write_float(synth_, frameCount, out, 0, 2, out, 1, 2);
        return frameCount;
    }

  private:
    std::mutex mutex_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    int tail_ = kSampleRate;  // one second of release after the last event
};

MidiSequencer::MidiSequencer(AudioOutput& output, std::string soundFont)
    : output_(output), soundFont_(std::move(soundFont)) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        for (int level = 0; level < LAST_LOG_LEVEL; ++level) fluid_set_log_function(level, Quiet, nullptr);
    });
}

MidiSequencer::~MidiSequencer() {
    Stop();
    Close();
}

std::string MidiSequencer::DefaultSoundFont() { return "/usr/share/sounds/sf2/TimGM6mb.sf2"; }

bool MidiSequencer::LooksLikeMidi(const std::string& b) {
    if (b.size() < 14 || b.compare(0, 4, "MThd") != 0) return false;
    const uint32_t headerLength = Be32(b, 4);
    if (headerLength < 6 || headerLength > b.size() - 8) return false;
    const unsigned format = uint8_t(b[8]) << 8 | uint8_t(b[9]);
    const unsigned tracks = uint8_t(b[10]) << 8 | uint8_t(b[11]);
    const unsigned division = uint8_t(b[12]) << 8 | uint8_t(b[13]);
    if (format > 2 || tracks == 0 || division == 0) return false;
    // The first track chunk must be there and whole.
    size_t at = 8 + size_t(headerLength);
    while (at + 8 <= b.size()) {
        const uint32_t length = Be32(b, at + 4);
        if (length > b.size() - at - 8) return false;
        if (b.compare(at, 4, "MTrk") == 0) return true;
        at += 8 + size_t(length);
    }
    return false;
}

int MidiSequencer::Open(const std::u16string& path) {
    if (source_) return kAlreadyOpen;
    std::string midi;
    if (!ReadPreviewFile(path, midi, kMaxMidiFileSize)) return kFileUnreadable;
    if (!LooksLikeMidi(midi)) return kNotMidi;
    auto source = std::make_shared<Source>();
    if (const int error = source->Create(soundFont_, midi); error != kOk) return error;
    source_ = std::move(source);
    return kOk;
}

int MidiSequencer::Play() {
    if (!source_) return kNotOpen;
    if (!source_->Start()) return kNotMidi;
    return output_.Play(source_, kSampleRate, 2) ? kOk : kNoAudio;
}

int MidiSequencer::Stop() {
    if (!source_) return kNotOpen;
    output_.Stop();
    source_->Pause();
    return kOk;
}

int MidiSequencer::Close() {
    if (!source_) return kNotOpen;
    output_.Stop();
    source_.reset();
    return kOk;
}

}  // namespace zv
