#pragma once
// The image viewer's window size: the picture's size plus fixed margins, cut
// to the screen. Kept apart from the window so the rule can be tested.

#include <QSizeF>
#include <optional>

namespace zv {

class ImageViewLayout {
  public:
    static constexpr float kExtraWidth = 150;   // twips beside the picture
    static constexpr float kExtraHeight = 450;  // twips for caption and border

    // Twips (1/1440 inch) per screen pixel at a logical resolution.
    static double TwipsPerPixel(double dotsPerInch) { return 1440.0 / dotsPerInch; }

    // The outer window size for a picture of the given size on a screen of the
    // given size, all in twips. A side is cut to the screen only when it is
    // strictly larger. nullopt when a size overflows (the failure path).
    static std::optional<QSizeF> WindowSize(QSizeF pictureTwips, QSizeF screenTwips);
};

}  // namespace zv
