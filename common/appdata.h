#pragma once
#include <QString>

// The program's folder: where the hand-off file, the getting-started activity,
// the exercises and the help lie. SPECTRO_DATA_DIR overrides it; otherwise the
// build tree's data folder, or <prefix>/share/spectro next to an installed
// executable. Always ends with a separator.
QString programFolder();
// Joins a folder and a name without doubling the separator.
QString joinPath(const QString &folder, const QString &name);
