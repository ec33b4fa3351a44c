#pragma once
// Where a window that works beside the main window first appears: next to
// it, so that the settings, the readout and the graph stay in sight; where
// the screen is too narrow, against the screen's edge on the side where it
// hides the least, the right one when both hide as much (the readout and the
// graph are on the left). Outer (frame) rectangles.
#include <QPoint>
#include <QRect>
#include <QSize>

namespace placement
{

QPoint beside(const QRect &mainOuter, const QSize &outerSize, const QRect &available);

} // namespace placement
