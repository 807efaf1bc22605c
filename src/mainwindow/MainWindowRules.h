#pragma once
// The rules behind the main window's controls, kept apart from the widgets so
// they can be checked without a window.

#include <cstdint>
#include <string>

namespace zv {

enum class JobMode { Numbering, Append, Replace };

// Guidance line texts.
extern const char16_t kGuideSelectFiles[];
extern const char16_t kGuideNumbering[];
extern const char16_t kGuideAppend[];
extern const char16_t kGuideReplace[];

// The guidance for a mode: the mode's own text when files are selected (the
// run buttons are ready), else the request to select files.
std::u16string GuidanceFor(JobMode mode, bool ready);

// The increment steps through -100..-1, 1..100 and wraps at both ends; it is
// never 0. The current value is the caption of the increment label.
std::int16_t IncrementUp(std::int16_t n);
std::int16_t IncrementDown(std::int16_t n);

// Reads a label caption written by the steppers. Anything else reads as 0.
std::int16_t ParseCaptionInt(const std::u16string& caption);

// The digit filter of the number boxes: Backspace and the ten digits are kept,
// anything else becomes 0 (dropped) after one call of beep.
template <typename Beep>
char16_t FilterDigitKey(char16_t code, Beep&& beep) {
    if (code == 8 || (code >= u'0' && code <= u'9')) return code;
    beep();
    return 0;
}

// Where a window of the given size goes so that it sits centred over the
// owner's rectangle: each difference is halved with integer division.
struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};
Point CentredOver(int ownerLeft, int ownerTop, int ownerWidth, int ownerHeight, int width, int height);

// Window measures are designed in twips (1/1440 inch); on screen they scale
// with the screen's logical dots per inch (15 twips per pixel at 96 dpi).
class TwipScale {
  public:
    explicit TwipScale(double dpi = 96.0) : dpi_(dpi > 0 ? dpi : 96.0) {}
    int ToPixels(int twips) const;
    int ToTwips(int pixels) const;
    double Dpi() const { return dpi_; }

  private:
    double dpi_;
};

}  // namespace zv
