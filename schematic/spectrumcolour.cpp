#include "schematic/spectrumcolour.h"

#include "common/numfmt.h"

#include <cmath>

namespace schematic
{

QColor couleurSpectre(const std::array<float, 401> &table, double c)
{
    // Blue 400-489 nm, green 490-579 nm, red 580-700 nm: the eye's three
    // broad sensitivities, enough for the colour of a solution.
    const int bands[3][2] = {{580, 700}, {490, 579}, {400, 489}};
    int rgb[3];
    for (int k = 0; k < 3; ++k) {
        double sum = 0;
        for (int lambda = bands[k][0]; lambda <= bands[k][1]; ++lambda)
            sum += std::pow(10.0, -(c * 1000.0 * double(table[lambda - 400])));
        const double t = sum / (bands[k][1] - bands[k][0] + 1);
        rgb[k] = numfmt::cint(50 + 185 * (std::isfinite(t) ? t : 0));
    }
    if (rgb[0] == rgb[1] && rgb[1] == rgb[2])
        rgb[0] = rgb[1] = rgb[2] = 235;
    return QColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace schematic
