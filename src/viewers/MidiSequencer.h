#pragma once
// The MIDI device of the sound player: open a file, play, stop, close, each
// answering with an error code (0 for success) like a multimedia command.
// FluidSynth renders the music with a General MIDI sound font into the
// program's one audio output.

#include <memory>
#include <string>

namespace zv {

class AudioOutput;

class MidiSequencer {
  public:
    enum Error : int {
        kOk = 0,
        kNotOpen = 1,      // no file is open
        kAlreadyOpen = 2,  // open while another file is open
        kFileUnreadable = 3,
        kNotMidi = 4,  // the content is no Standard MIDI File
        kNoSynth = 5,  // sound font or synthesizer missing
        kNoAudio = 6,  // the audio output refused to start
    };

    explicit MidiSequencer(AudioOutput& output, std::string soundFont = DefaultSoundFont());
    ~MidiSequencer();  // stops and closes
    MidiSequencer(const MidiSequencer&) = delete;
    MidiSequencer& operator=(const MidiSequencer&) = delete;

    // Reads the file; the path is taken whole, blanks and all.
    int Open(const std::u16string& path);
    // Plays from the current position (the start after Open).
    int Play();
    // Stops at the current position; stopping a stopped file succeeds.
    int Stop();
    int Close();

    bool IsOpen() const { return source_ != nullptr; }

    // The General MIDI sound font the system provides.
    static std::string DefaultSoundFont();
    // A light check that bytes hold a Standard MIDI File: header chunk and at
    // least one track chunk that lies inside the data.
    static bool LooksLikeMidi(const std::string& bytes);

    static constexpr int kSampleRate = 44100;

  private:
    class Source;
    AudioOutput& output_;
    std::string soundFont_;
    std::shared_ptr<Source> source_;
};

}  // namespace zv
