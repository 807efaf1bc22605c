#pragma once
// The program's one sound output. WAV previews and the MIDI player both play
// through it, so a new sound always replaces the one still playing, whoever
// started it, exactly as a single system sound channel would.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace zv {

// Something that produces interleaved 32-bit float samples (-1..1) on demand.
// Read runs on the audio thread: it must not block and must not touch widgets.
class AudioSource {
  public:
    virtual ~AudioSource() = default;
    // Writes up to frameCount frames (frameCount * channels floats) into out
    // and returns how many it wrote. Returning fewer than asked ends the sound.
    virtual int Read(float* out, int frameCount) = 0;
};

// A finished block of samples in memory, played from its start to its end.
class PcmBufferSource : public AudioSource {
  public:
    PcmBufferSource(std::vector<float> samples, int channels);
    int Read(float* out, int frameCount) override;

  private:
    std::vector<float> samples_;
    int channels_;
    size_t position_ = 0;  // in floats
};

class AudioOutput {
  public:
    // The shared output of the program.
    static AudioOutput& Instance();

    AudioOutput();
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Starts source at once and returns without waiting; a sound still playing
    // is cut off. False (with a reason in *error) when no audio device can be
    // opened in the given format.
    bool Play(std::shared_ptr<AudioSource> source, int sampleRate, int channels,
              std::string* error = nullptr);
    // Plays interleaved float samples held in memory.
    bool PlayBuffer(std::vector<float> samples, int sampleRate, int channels, std::string* error = nullptr);

    // Silences the output and releases the device; harmless when nothing plays.
    void Stop();
    // True from Play until the source has run dry or Stop was called.
    bool IsPlaying() const;
    // Waits at most timeoutMs for the current sound to end; true when it ended.
    // For tests and for rendering, never for the user-interface thread.
    bool WaitUntilDone(int timeoutMs) const;

  private:
    struct State;
    static void Callback(void* userdata, uint8_t* stream, int len);
    void CloseDevice();

    std::unique_ptr<State> state_;
};

}  // namespace zv
