#pragma once
// WAV previews, handed to the shared audio output so the call returns at once
// and a later sound replaces this one. The file is read and decoded on a
// loader thread (WavStream.h).

#include <string>
#include <string_view>
#include <vector>

#include "viewers/AudioOutput.h"

namespace zv {

struct WavSamples {
    std::vector<float> samples;  // interleaved, -1..1
    int sampleRate = 0;
    int channels = 0;
};

// PCM (8/16/24/32-bit, float), IMA ADPCM, MS ADPCM, A-law and µ-law WAV data
// to float samples. False with a reason in *error when the data is no WAV
// SDL can read.
bool DecodeWav(std::string_view bytes, WavSamples& out, std::string* error = nullptr);

// Starts the file playing; false when it cannot be read, is no WAV file or
// no audio device takes its format.
bool PlayWavFile(const std::u16string& path, AudioOutput& output, std::string* error = nullptr);

}  // namespace zv
