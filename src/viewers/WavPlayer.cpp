#include "viewers/WavPlayer.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "shared/NativeName.h"
#include "viewers/PreviewFile.h"
#include "viewers/WavStream.h"

namespace zv {

bool DecodeWav(std::string_view bytes, WavSamples& out, std::string* error) {
    auto fail = [&](std::string why) {
        if (error) *error = std::move(why);
        return false;
    };
    out = {};
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) return fail("empty or too large");
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return fail(SDL_GetError());
    SDL_AudioSpec spec{};
    Uint8* raw = nullptr;
    Uint32 rawLen = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &spec, &raw, &rawLen)) return fail(SDL_GetError());
    std::unique_ptr<Uint8, void (*)(Uint8*)> rawOwner(raw, &SDL_FreeWAV);
    if (spec.channels == 0 || spec.freq <= 0) return fail("no channels");

    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_F32SYS,
                                        spec.channels, spec.freq);
    if (built < 0) return fail(SDL_GetError());
    std::vector<Uint8> work(static_cast<size_t>(rawLen) *
                            static_cast<size_t>(cvt.len_mult > 0 ? cvt.len_mult : 1));
    if (rawLen > 0) std::memcpy(work.data(), raw, rawLen);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(rawLen);
    if (built > 0 && SDL_ConvertAudio(&cvt) != 0) return fail(SDL_GetError());
    const size_t outBytes = built > 0 ? static_cast<size_t>(cvt.len_cvt) : rawLen;
    out.samples.resize(outBytes / sizeof(float));
    std::memcpy(out.samples.data(), work.data(), out.samples.size() * sizeof(float));
    out.sampleRate = spec.freq;
    out.channels = spec.channels;
    return true;
}

bool PlayWavFile(const std::u16string& path, AudioOutput& output, std::string* error) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(ToNative(path).c_str(), "rb"), &std::fclose);
    if (!file) {
        if (error) *error = "cannot read the file";
        return false;
    }
    WavLayout layout;
    if (ReadWavLayout(file.get(), layout) && (layout.Streamable() || layout.SdlDecodes()))
        return output.Play(std::make_shared<WavStreamSource>(std::move(file), layout), layout.sampleRate,
                           layout.channels, error);
    // Whatever else SDL may make of it, or tell what is wrong.
    file.reset();
    std::string bytes;
    if (!ReadPreviewFile(path, bytes)) {
        if (error) *error = "cannot read the file";
        return false;
    }
    WavSamples wav;
    if (!DecodeWav(bytes, wav, error)) return false;
    return output.PlayBuffer(std::move(wav.samples), wav.sampleRate, wav.channels, error);
}

}  // namespace zv
