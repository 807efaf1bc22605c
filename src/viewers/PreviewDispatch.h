#pragma once
// What a double-click on a file of the file list does: the file's extension
// picks a viewer, a WAV sound or nothing.

#include <functional>
#include <string>

#include "shared/MessageBox.h"

namespace zv {

class PreviewDispatch {
  public:
    enum class Action { kNone, kTextView, kImageView, kWavSound, kMidiPlayer };

    // separator: the platform's path separator (zv::kPathSeparator).
    PreviewDispatch(MessageBoxService& messageBoxes, char16_t separator);

    // Folder and name joined without doubling a separator at a drive root.
    static std::u16string JoinPath(const std::u16string& folder, const std::u16string& name,
                                   char16_t separator);
    // The last four characters in upper case (".TXT" for "readme.txt").
    static std::u16string ExtensionKey(const std::u16string& path);
    static Action ActionFor(const std::u16string& extensionKey);

    // The double-click on name in folder: stores the full path in
    // Valiable::PreviewFilePath and acts on it. Viewers are created afresh and
    // shown modally; a WAV plays in the background.
    Action F_File_DblClick(const std::u16string& folder, const std::u16string& name);

    // How each action is carried out. The text viewer, image viewer and WAV
    // sound have defaults; the MIDI player is plugged in by whoever builds it
    // (an empty one does nothing). Tests replace any of them.
    std::function<void()> openTextView;
    std::function<void()> openImageView;
    std::function<void()> openMidiPlayer;
    std::function<bool(const std::u16string& path)> playWav;  // false: could not play

  private:
    MessageBoxService& messageBoxes_;
    char16_t separator_;
};

}  // namespace zv
