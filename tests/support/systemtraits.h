#pragma once
// What the tests must know of the system they run on, in one place.
#include <QtGlobal>

namespace systemtraits
{

// Windows's print dialog is the system's own: it has no Qt widgets to look
// at or to press, and runs modally outside Qt's event loop.
#ifdef Q_OS_WIN
inline constexpr bool kQtPrintDialog = false;
#else
inline constexpr bool kQtPrintDialog = true;
#endif

} // namespace systemtraits
