#pragma once
// WAV files played without holding up the caller: a loader thread reads and
// converts uncompressed samples a few seconds ahead of the sound card, so
// playback starts at once and memory stays small whatever the length of the
// file; compressed sound is decoded whole on that thread.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "viewers/AudioOutput.h"

namespace zv {

struct WavLayout {
    uint16_t formatTag = 0;  // 1 integer PCM, 3 float (the subformat of an extensible header)
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;  // bytes per frame
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;  // what the file really holds, whatever the header claims

    // Integer PCM in containers of 1 to 4 bytes or float of 32 or 64 bits,
    // which the stream converts itself; anything else (compressed sound) is
    // left to SDL's whole-file loader.
    bool Streamable() const;
    // MS and IMA ADPCM, A-law and µ-law, which SDL decodes.
    bool SdlDecodes() const;
};

// Reads the RIFF header up to the start of the sample data. False when the
// file is no WAV file or its format chunk is missing or broken.
bool ReadWavLayout(FILE* file, WavLayout& layout, std::string* error = nullptr);

class WavStreamSource : public AudioSource {
  public:
    // Takes the open file of a streamable or SDL-decodable layout. The first
    // uncompressed samples are read before this returns so the sound card
    // never starts on silence.
    WavStreamSource(std::unique_ptr<FILE, int (*)(FILE*)> file, const WavLayout& layout);
    ~WavStreamSource() override;  // stops and waits for the loader
    WavStreamSource(const WavStreamSource&) = delete;
    WavStreamSource& operator=(const WavStreamSource&) = delete;

    // The loader has not caught up: silence, and the sound goes on.
    int Read(float* out, int frameCount) override;

  private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

}  // namespace zv
