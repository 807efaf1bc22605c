#include "viewers/PreviewDispatch.h"

#include "shared/Valiable.h"
#include "viewers/AudioOutput.h"
#include "viewers/Frm_ImageView.h"
#include "viewers/Frm_TextView.h"
#include "viewers/WavPlayer.h"

namespace zv {

PreviewDispatch::PreviewDispatch(MessageBoxService& messageBoxes, char16_t separator)
    : messageBoxes_(messageBoxes), separator_(separator) {
    openTextView = [this] {
        Frm_TextView view(messageBoxes_);
        if (view.Form_Load()) view.exec();
    };
    openImageView = [this] {
        Frm_ImageView view(messageBoxes_);
        view.exec();
    };
    playWav = [](const std::u16string& path) { return PlayWavFile(path, AudioOutput::Instance()); };
}

std::u16string PreviewDispatch::JoinPath(const std::u16string& folder, const std::u16string& name,
                                         char16_t separator) {
    if (!folder.empty() && folder.back() == separator) return folder + name;
    return folder + separator + name;
}

std::u16string PreviewDispatch::ExtensionKey(const std::u16string& path) {
    std::u16string key = path.size() > 4 ? path.substr(path.size() - 4) : path;
    for (char16_t& c : key)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return key;
}

PreviewDispatch::Action PreviewDispatch::ActionFor(const std::u16string& key) {
    if (key == u".TXT" || key == u".RTF") return Action::kTextView;
    for (const char16_t* image : {u".BMP", u".JPG", u".ICO", u".CUR", u".WMF", u".EMF", u".GIF"})
        if (key == image) return Action::kImageView;
    if (key == u".WAV") return Action::kWavSound;
    if (key == u".MID") return Action::kMidiPlayer;
    return Action::kNone;
}

PreviewDispatch::Action PreviewDispatch::F_File_DblClick(const std::u16string& folder,
                                                         const std::u16string& name) {
    Valiable::PreviewFilePath = JoinPath(folder, name, separator_);
    const Action action = ActionFor(ExtensionKey(Valiable::PreviewFilePath));
    switch (action) {
        case Action::kTextView:
            if (openTextView) openTextView();
            break;
        case Action::kImageView:
            if (openImageView) openImageView();
            break;
        case Action::kMidiPlayer:
            if (openMidiPlayer) openMidiPlayer();
            break;
        case Action::kWavSound:
            if (!playWav || !playWav(Valiable::PreviewFilePath))
                messageBoxes_.Show(u"正常に再生できません", kOkOnly, u"再生エラー");
            break;
        case Action::kNone:
            break;
    }
    return action;
}

}  // namespace zv
