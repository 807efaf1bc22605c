#include "MainWindowRules.h"

#include <cmath>

namespace zv {

const char16_t kGuideSelectFiles[] = u"ファイルを選択して下さい。";
// The full-width bracket before テスト開始 is how the texts have always read.
const char16_t kGuideNumbering[] =
    u"連番を設定して、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）";
const char16_t kGuideAppend[] =
    u"固定文字列を設定して、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）";
const char16_t kGuideReplace[] =
    u"検索文字列を設定して、[開始]ボタンを押して下さい。（または、［テスト開始]ボタンを押して下さい。）";

std::u16string GuidanceFor(JobMode mode, bool ready) {
    if (!ready) return kGuideSelectFiles;
    switch (mode) {
        case JobMode::Append:
            return kGuideAppend;
        case JobMode::Replace:
            return kGuideReplace;
        case JobMode::Numbering:
            break;
    }
    return kGuideNumbering;
}

std::int16_t IncrementUp(std::int16_t n) {
    int next = n + 1;
    if (next == 0) {
        next = 1;
    } else if (next == 101) {
        next = -100;
    }
    return static_cast<std::int16_t>(next);
}

std::int16_t IncrementDown(std::int16_t n) {
    int next = n - 1;
    if (next == 0) {
        next = -1;
    } else if (next == -101) {
        next = 100;
    }
    return static_cast<std::int16_t>(next);
}

std::int16_t ParseCaptionInt(const std::u16string& caption) {
    std::size_t i = 0;
    bool negative = false;
    if (i < caption.size() && caption[i] == u'-') {
        negative = true;
        ++i;
    }
    if (i == caption.size()) return 0;
    int value = 0;
    for (; i < caption.size(); ++i) {
        const char16_t c = caption[i];
        if (c < u'0' || c > u'9') return 0;
        value = value * 10 + (c - u'0');
        if (value > 32768) return 0;
    }
    value = negative ? -value : value;
    if (value > 32767 || value < -32768) return 0;
    return static_cast<std::int16_t>(value);
}

Point CentredOver(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width, int height) {
    // Integer division truncates toward zero, also for a window larger than
    // its owner.
    return {ownerLeft + (ownerWidth - width) / 2, ownerTop + (ownerHeight - height) / 2};
}

int TwipScale::ToPixels(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }

int TwipScale::ToTwips(int pixels) const { return static_cast<int>(std::lround(pixels * 1440.0 / dpi_)); }

}  // namespace zv
