#pragma once
// The look every window of the Qt programs shares: a Japanese user-interface
// font and Qt's own Japanese texts for standard buttons (はい, いいえ, キャンセル).

class QApplication;

namespace zv::qt {

// Sets the application font and installs Qt's Japanese translation. Returns
// false when the translation could not be loaded (the buttons then stay in
// English; nothing else is affected).
bool SetUpJapaneseUi(QApplication& app);

}  // namespace zv::qt
