#include "viewers/ImageViewLayout.h"

#include <cmath>

namespace zv {

std::optional<QSizeF> ImageViewLayout::WindowSize(QSizeF pictureTwips, QSizeF screenTwips) {
    // Single precision, as the window measures are kept; a window cannot be
    // larger than a 32-bit twip count.
    constexpr float kLimit = 2147483647.0f;
    float width = float(pictureTwips.width()) + kExtraWidth;
    float height = float(pictureTwips.height()) + kExtraHeight;
    if (!std::isfinite(width) || !std::isfinite(height) || width > kLimit || height > kLimit || width < 0 ||
        height < 0)
        return std::nullopt;
    const float screenWidth = float(screenTwips.width());
    const float screenHeight = float(screenTwips.height());
    if (width > screenWidth) width = screenWidth;
    if (height > screenHeight) height = screenHeight;
    return QSizeF(width, height);
}

}  // namespace zv
