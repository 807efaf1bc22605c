// The three name generators.
#include <cmath>
#include <cstdint>
#include <string>

#include "ConversionEngine.h"
#include "EngineTexts.h"
#include "NameText.h"
#include "NumericText.h"

namespace zv {

namespace {

constexpr char16_t kZeros[] = u"0000000000";  // enough for the largest digit count, 10
constexpr std::int64_t kLargestNumber = 2147483647;

std::u16string Decimal(std::int32_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

StepFlag ConversionEngine::MakeNumberedNames() {
    auto& s = p_.settings;
    const auto increment = RoundToInt32(ReadNumericPrefix(s.Text("Lbl_up")));
    const auto start = RoundToInt32(ReadNumericPrefix(s.Text("Txt_Startnum")));
    // A start number such as "9e99" passes the length check but fits no
    // 32-bit number; it is refused like a sequence that leaves the range.
    if (!increment || !start) {
        ShowMessage(texts::kNumberOverflow, texts::kNumberOverflowTitle);
        return kStop;
    }
    std::int32_t current = *start;

    const std::size_t rows = table_.selected.size();
    for (std::size_t r = 0; r < rows; ++r) {
        p_.events.DoEvents();
        std::u16string number = Decimal(current);
        if (s.Value("Chk_keta_lock") == 1) {
            const double digits = ReadNumericPrefix(s.Text("Lbl_keta"));
            if (digits < static_cast<double>(number.size())) {
                ShowMessage(texts::kDigitOverflow, texts::kDigitOverflowTitle);
                return kStop;
            }
            const std::u16string padded = kZeros + number;
            const double width = std::nearbyint(digits);
            const std::size_t take =
                width >= static_cast<double>(padded.size()) ? padded.size() : static_cast<std::size_t>(width);
            number = padded.substr(padded.size() - take);
        }
        if (s.Value("Opt_Han") == 0) number = WidenDigits(number);

        table_.newName.push_back(s.Text("Txt_B_text") + number + s.Text("Txt_A_text") + table_.extension[r]);

        const std::int64_t next = std::int64_t{current} + *increment;
        if (next < 0 || next > kLargestNumber) {
            ShowMessage(texts::kNumberOverflow, texts::kNumberOverflowTitle);
            return kStop;
        }
        current = static_cast<std::int32_t>(next);
    }
    return kGoOn;
}

void ConversionEngine::MakeFixedStringNames() {
    const std::size_t rows = table_.base.size();
    for (std::size_t r = 0; r < rows; ++r) {
        p_.events.DoEvents();
        table_.newName.push_back(p_.settings.Text("Txt_B_text") + table_.base[r] +
                                 p_.settings.Text("Txt_A_text") + table_.extension[r]);
    }
}

void ConversionEngine::MakeReplacedNames() {
    const std::size_t rows = table_.base.size();
    for (std::size_t r = 0; r < rows; ++r) {
        p_.events.DoEvents();
        table_.newName.push_back(
            ReplaceAll(table_.base[r], p_.settings.Text("Txt_B_text"), p_.settings.Text("Txt_A_text")) +
            table_.extension[r]);
    }
}

}  // namespace zv
