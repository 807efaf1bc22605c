#include "viewers/AudioOutput.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>

namespace zv {

PcmBufferSource::PcmBufferSource(std::vector<float> samples, int channels)
    : samples_(std::move(samples)), channels_(std::max(1, channels)) {}

int PcmBufferSource::Read(float* out, int frameCount) {
    const size_t left = (samples_.size() - position_) / channels_;
    const size_t frames = std::min(left, static_cast<size_t>(std::max(0, frameCount)));
    std::memcpy(out, samples_.data() + position_, frames * channels_ * sizeof(float));
    position_ += frames * channels_;
    return static_cast<int>(frames);
}

struct AudioOutput::State {
    std::mutex deviceMutex;  // serialises Play/Stop from any thread
    SDL_AudioDeviceID device = 0;
    bool sdlStarted = false;

    // Shared with the audio thread.
    mutable std::mutex mutex;
    mutable std::condition_variable done;
    std::shared_ptr<AudioSource> source;
    int channels = 0;
    bool playing = false;
};

AudioOutput& AudioOutput::Instance() {
    static AudioOutput output;
    return output;
}

AudioOutput::AudioOutput() : state_(std::make_unique<State>()) {}

AudioOutput::~AudioOutput() {
    Stop();
    if (state_->sdlStarted) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioOutput::Callback(void* userdata, uint8_t* stream, int len) {
    auto* state = static_cast<State*>(userdata);
    std::unique_lock lock(state->mutex);
    std::memset(stream, 0, len);
    if (!state->playing || !state->source) return;
    const int frames = len / static_cast<int>(sizeof(float)) / state->channels;
    const int got = state->source->Read(reinterpret_cast<float*>(stream), frames);
    if (got < frames) {
        state->playing = false;
        state->source.reset();
        state->done.notify_all();
    }
}

void AudioOutput::CloseDevice() {
    if (state_->device != 0) {
        // Closing waits for a running callback, so the source is not in use afterwards.
        SDL_CloseAudioDevice(state_->device);
        state_->device = 0;
    }
    std::lock_guard lock(state_->mutex);
    state_->source.reset();
    state_->playing = false;
    state_->done.notify_all();
}

bool AudioOutput::Play(std::shared_ptr<AudioSource> source, int sampleRate, int channels,
                       std::string* error) {
    std::lock_guard deviceLock(state_->deviceMutex);
    CloseDevice();
    auto fail = [&](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    if (!source || sampleRate <= 0 || channels <= 0 || channels > 8) return fail("invalid sound format");
    if (!state_->sdlStarted) {
        SDL_SetMainReady();
        // SDL would take SIGTERM and SIGINT for itself and ZVNUM would never
        // hear of a logout: the program's own handlers stay in place.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return fail(SDL_GetError());
        state_->sdlStarted = true;
    }
    {
        std::lock_guard lock(state_->mutex);
        state_->source = std::move(source);
        state_->channels = channels;
        state_->playing = true;
    }
    SDL_AudioSpec want{};
    want.freq = sampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = static_cast<Uint8>(channels);
    want.samples = 2048;
    want.callback = &AudioOutput::Callback;
    want.userdata = state_.get();
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to whatever the hardware wants, so the
    // callback always sees the format asked for.
    state_->device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (state_->device == 0) {
        const std::string why = SDL_GetError();
        CloseDevice();
        return fail(why);
    }
    SDL_PauseAudioDevice(state_->device, 0);
    return true;
}

bool AudioOutput::PlayBuffer(std::vector<float> samples, int sampleRate, int channels, std::string* error) {
    return Play(std::make_shared<PcmBufferSource>(std::move(samples), channels), sampleRate, channels, error);
}

void AudioOutput::Stop() {
    std::lock_guard deviceLock(state_->deviceMutex);
    CloseDevice();
}

bool AudioOutput::IsPlaying() const {
    std::lock_guard lock(state_->mutex);
    return state_->playing;
}

bool AudioOutput::WaitUntilDone(int timeoutMs) const {
    std::unique_lock lock(state_->mutex);
    return state_->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return !state_->playing; });
}

}  // namespace zv
