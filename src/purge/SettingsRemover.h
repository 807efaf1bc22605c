#pragma once
// What ZVPURGE's 実行 button does: asks once, removes the key in which ZVNUM
// keeps its settings, and tells the user how it went.
//
// The key is HKEY_CURRENT_USER\Software\<settings root>\Zorvik, where ZVNUM
// really stores them. The registry refuses to delete a key that still has
// sub keys, so the sub keys ("Setting" and anything else below) go first,
// deepest first, one delete each; the outcome shown is the true one.

#include <cstdint>
#include <string>
#include <string_view>

#include "purge/clsRegOp.h"
#include "shared/MessageBox.h"

namespace zv {

class SettingsRemover {
  public:
    enum class Outcome {
        Declined,       // the user answered No; nothing was touched
        Removed,        // the key and everything below it are gone
        NothingStored,  // there was no key to remove
        Failed,         // some of it could not be removed
    };

    static constexpr std::uint32_t kRootKey = 0x80000001u;  // HKEY_CURRENT_USER

    static constexpr std::u16string_view kConfirmText = u"「Zorvik」の情報を削除しますか？";
    static constexpr std::u16string_view kConfirmTitle = u"削除";
    static constexpr std::u16string_view kDoneText =
        u"削除しました。\r\n「Zorvik」のフォルダを削除して下さい。";
    static constexpr std::u16string_view kDoneTitle = u"削除完了";
    static constexpr std::u16string_view kNothingText = u"「Zorvik」の情報は登録されていません。";
    static constexpr std::u16string_view kFailedText = u"「Zorvik」の情報を削除できませんでした。";

    explicit SettingsRemover(MessageBoxService& messages) : messages_(messages) {}

    // Path of the removed key below kRootKey.
    static std::u16string KeyPath();

    // Asks, removes and reports. After any outcome but Declined the program ends.
    Outcome Run();

  private:
    // Deletes path and everything below it; answers the status of the first
    // delete that failed, or of the last one.
    std::u16string RemoveTree(clsRegOp& op, const std::u16string& path);

    MessageBoxService& messages_;
};

}  // namespace zv
