#include "schematic/realmarks.h"

namespace schematic
{

void drawRealMarks(Surface &s, const RealMarks &m)
{
    s.setFont(arialFont(7, true));
    s.setForeColor(QColor(128, 0, 0));
    s.currentX = 10;
    s.currentY = 6;
    s.print(m.settings);
    // Over the display window: whether the reference is the solvent here.
    const QString blank =
        m.blankValid ? QStringLiteral("blanc fait") : QStringLiteral("blanc à faire");
    s.setForeColor(m.blankValid ? QColor(0, 110, 0) : QColor(200, 0, 0));
    s.currentX = 324 - s.textWidth(blank) / 2;
    s.currentY = 41;
    s.print(blank);
    if (!m.transmittance.isEmpty()) {
        s.setForeColor(Qt::black);
        s.currentX = 324 - s.textWidth(m.transmittance) / 2;
        s.currentY = 75;
        s.print(m.transmittance);
    }
    // The state the measuring layer leaves behind.
    s.setFont(arialFont(8, true));
    s.setForeColor(Qt::black);
}

} // namespace schematic
