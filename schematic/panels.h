#pragma once
// Captions of the three settings panels, written in mixed fonts with raised
// exponents.
#include "common/surface.h"

#include <QRect>

namespace schematic
{

// Returns where the pH box goes (left, top) when it is visible.
QPoint picture3Paint(Surface &s, const QRect &text1, bool phVisible);
void frame2Paint(Surface &s, const QRect &label7, const QRect &label1, bool mtextra);
void picture1Paint(Surface &s, const QRect &option0, const QRect &option1, const QRect &label2);

} // namespace schematic
