#pragma once
// The texts the engine shows. Two-line prompts are joined by CR LF.

#include <string>

namespace zv {
// The message of a file operation's error code (title kFileErrorTitle).
std::u16string FileErrorMessage(int code);
}  // namespace zv

namespace zv::texts {

inline constexpr char16_t kPhaseChecking[] = u"チェック中";
inline constexpr char16_t kPhaseConverting[] = u"変換中";

inline constexpr char16_t kInputErrorTitle[] = u"入力エラー";
inline constexpr char16_t kForbiddenInFirst[] =
    u"固定文字列（前半部）\r\nファイル名に使用できない文字が有ります。";
inline constexpr char16_t kForbiddenInSecond[] =
    u"固定文字列（後半部）\r\nファイル名に使用できない文字が有ります。";
inline constexpr char16_t kTimeStampMissing[] =
    u"タイムスタンプが設定されていません。\r\n本日日付を使用しますか？";
inline constexpr char16_t kStartNumberEmpty[] = u"開始番号を入力して下さい。";
inline constexpr char16_t kStartNumberTooLong[] = u"開始番号の最大値は、999999999です。";
inline constexpr char16_t kFixedTextsEmpty[] = u"固定文字列を入力して下さい。";

inline constexpr char16_t kSystemFile[] =
    u"このまま変換するとシステムが不安定になる可能性が有ります。\r\n選択したファイル名を確認して下さい。";
inline constexpr char16_t kSystemFileTitle[] = u"ファイル選択エラー";
inline constexpr char16_t kNameTooLong[] = u"ファイル名が長すぎます。";
inline constexpr char16_t kNameTooLongTitle[] = u"ファイル名超過";
inline constexpr char16_t kNameEmpty[] = u"ファイル名が空白です。";
inline constexpr char16_t kNameEmptyTitle[] = u"ファイル名無し";
inline constexpr char16_t kNameHidden[] =
    u"変換後のファイル名が「."
    u"」で始まっています。\r\n隠しファイルになり一覧に表示されなくなるため変換できません。";
inline constexpr char16_t kNameHiddenTitle[] = u"ファイル名エラー";
inline constexpr char16_t kDuplicate[] = u"変換後のファイル名が重複しています。";
inline constexpr char16_t kDuplicateTitle[] = u"ファイル指定エラー";

// Shown after the name of the selected entry, on a line of its own.
inline constexpr char16_t kMissingFile[] = u"ファイルが見つかりません。\r\n選択したファイルを確認して下さい。";
inline constexpr char16_t kNotAFile[] =
    u"通常のファイルではないため、変換できません。\r\n選択したファイルを確認して下さい。";
inline constexpr char16_t kLinkAttributes[] =
    u"シンボリックリンクには属性を設定できません。\r\n属性の設定を確認して下さい。";
inline constexpr char16_t kLinkTime[] =
    u"シンボリックリンクには日付を設定できません。\r\n日付の設定を確認して下さい。";
inline constexpr char16_t kAttributesNotKept[] =
    u"保存先のドライブには、選択した属性を設定できません。\r\n属性の設定を確認して下さい。";
inline constexpr char16_t kAttributesTitle[] = u"属性設定エラー";

inline constexpr char16_t kDigitOverflow[] = u"オーバーフロー\r\n桁数を確認して下さい。";
inline constexpr char16_t kDigitOverflowTitle[] = u"桁数の超過";
inline constexpr char16_t kNumberOverflow[] =
    u"オーバーフロー\r\n連番が０未満または2147483648以上になりました。";
inline constexpr char16_t kNumberOverflowTitle[] = u"連番の超過";

inline constexpr char16_t kFileErrorTitle[] = u"ファイルエラー";
inline constexpr char16_t kJournalFailed[] =
    u"元に戻すための記録を保存できません。\r\nファイルは変更していません。";

inline constexpr char16_t kCancelTitle[] = u"中止";
inline constexpr char16_t kCancelled[] = u"変換処理を中止しました。\r\n";
inline constexpr char16_t kCancelledBeforeWriting[] = u"変換処理を中止しました。ファイルは変更していません。";
inline constexpr char16_t kCancelledCount[] = u" 個のファイルを処理しました。「元に戻す」で元に戻せます。";

inline constexpr char16_t kUndoTitle[] = u"元に戻す";
inline constexpr char16_t kUndoQuestion[] = u"直前の変換処理を元に戻しますか？\r\n";
inline constexpr char16_t kUndoQuestionCount[] = u" 個のファイルを元に戻します。";
inline constexpr char16_t kUndoNothing[] = u"元に戻すファイルはありません。";
inline constexpr char16_t kUndoDone[] = u" 個のファイルを元に戻しました。";
inline constexpr char16_t kUndoRefused[] = u"次のファイルは元に戻せませんでした。";

inline constexpr char16_t kRecoverTitle[] = u"復旧";
inline constexpr char16_t kRecoverInterrupted[] = u"前回の変換処理は途中で終了しています。\r\n開始: ";
inline constexpr char16_t kRecoverQuestion[] =
    u" 個のファイルが処理済みです。\r\n処理済みのファイルを元に戻しますか？\r\n（いいえ: そのままにします）";

}  // namespace zv::texts
