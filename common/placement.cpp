#include "common/placement.h"

#include <algorithm>

namespace placement
{

QPoint beside(const QRect &mainOuter, const QSize &outerSize, const QRect &available)
{
    const int w = outerSize.width(), h = outerSize.height();
    const int screenRight = available.x() + available.width(); // one past the last pixel
    const int mainRight = mainOuter.x() + mainOuter.width();
    // Right of the window, pushed back inside the screen if need be.
    const int rightX = std::max(available.x(), std::min(mainRight, screenRight - w));
    const int rightCover = std::max(0, mainRight - rightX);
    // Left of the window, likewise.
    const int leftX = std::min(screenRight - w, std::max(mainOuter.x() - w, available.x()));
    const int leftCover = std::max(0, leftX + w - mainOuter.x());
    const int x = leftCover < rightCover ? leftX : rightX;
    // Level with the window's top, inside the screen.
    const int y =
        std::max(available.y(), std::min(mainOuter.y(), available.y() + available.height() - h));
    return {x, y};
}

} // namespace placement
