#pragma once
// The paint device of the graph's SVG export: Qt SVG's generator where that
// module is built, else the program's own writer (Windows builds).
#if SPECTRO_HAVE_QTSVG
#include <QSvgGenerator>
namespace output
{
using SvgDevice = QSvgGenerator;
}
#else
#include "output/svgwriter.h"
namespace output
{
using SvgDevice = SvgWriter;
}
#endif
