#include "common/zoom.h"

#include <cmath>

namespace zoom
{

namespace
{
int g_current = 100;
std::function<void(int)> &handler()
{
    static std::function<void(int)> h;
    return h;
}
} // namespace

std::optional<int> parse(const QString &text)
{
    QString t = text.trimmed();
    if (t.endsWith(QLatin1Char('%')))
        t.chop(1);
    t = t.trimmed();
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok || v < kMinimum || v > kMaximum)
        return std::nullopt;
    return v;
}

int step(int current, int direction)
{
    if (direction == 0)
        return 100;
    if (direction > 0) {
        for (int s : kSteps) {
            if (s > current)
                return s;
        }
        return kMaximum;
    }
    for (int i = int(std::size(kSteps)) - 1; i >= 0; --i) {
        if (kSteps[i] < current)
            return kSteps[i];
    }
    return kMinimum;
}

int largestFitting(int wanted, const QSize &physicalScreen, const QSize &window)
{
    const auto fits = [&](int z) {
        return std::ceil(window.width() * z / 100.0) <= physicalScreen.width() &&
               std::ceil(window.height() * z / 100.0) <= physicalScreen.height();
    };
    if (fits(wanted))
        return wanted;
    for (int i = int(std::size(kSteps)) - 1; i >= 0; --i) {
        if (kSteps[i] < wanted && fits(kSteps[i]))
            return kSteps[i];
    }
    return kMinimum;
}

QString label(int percent)
{
    return QString::number(percent) + QStringLiteral("\u00a0%");
}

int current()
{
    return g_current;
}

void setCurrent(int percent)
{
    g_current = percent;
}

bool request(int percent)
{
    if (!handler() || percent == g_current || percent < kMinimum || percent > kMaximum)
        return false;
    handler()(percent);
    return true;
}

void setHandler(const std::function<void(int)> &h)
{
    handler() = h;
}

} // namespace zoom
