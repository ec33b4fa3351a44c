// Checks a screenshot of the program run elsewhere (Windows, under Wine)
// against one of the program run here:
//   spectro_screencheck grab OUT.png        what the X screen ($DISPLAY) shows
//   spectro_screencheck compare REF.png SHOT.png [X,Y,W,H...]
// The comparison finds the window in the screenshot, then requires every
// coloured pixel of the reference inside the given parts of the window (the
// drawings: curves, beam, solution; not the grey text and frames, whose fonts
// and style may differ) to be there, colour by colour.
#include <QGuiApplication>
#include <QImage>
#include <QMap>
#include <QPixmap>
#include <QRandomGenerator>
#include <QScreen>
#include <algorithm>
#include <cstdio>

namespace
{

bool coloured(QRgb c)
{
    const int hi = qMax(qRed(c), qMax(qGreen(c), qBlue(c)));
    const int lo = qMin(qRed(c), qMin(qGreen(c), qBlue(c)));
    return hi - lo >= 64;
}

int compare(const QImage &ref, const QImage &shot, const QVector<QRect> &parts)
{
    QVector<QPoint> points;
    for (int y = 0; y < ref.height(); ++y)
        for (int x = 0; x < ref.width(); ++x) {
            const bool inside = std::any_of(parts.cbegin(), parts.cend(),
                                            [x, y](const QRect &r) { return r.contains(x, y); });
            if (inside && coloured(ref.pixel(x, y)))
                points << QPoint(x, y);
        }
    if (points.size() < 100) {
        std::printf("la référence n'a presque pas de pixels colorés (%lld)\n",
                    qlonglong(points.size()));
        return 1;
    }
    // The window's place: the offset where a sample of coloured pixels agrees best.
    QVector<QPoint> sample;
    QRandomGenerator rng(12345);
    for (int i = 0; i < 200; ++i)
        sample << points[rng.bounded(int(points.size()))];
    QPoint best;
    int bestScore = -1;
    // Offsets that keep every compared pixel inside the screenshot.
    QRect used;
    for (const QPoint &p : points)
        used |= QRect(p, QSize(1, 1));
    for (int dy = -used.top(); dy + used.bottom() < shot.height(); ++dy)
        for (int dx = -used.left(); dx + used.right() < shot.width(); ++dx) {
            int score = 0;
            for (const QPoint &p : sample)
                score += ref.pixel(p) == shot.pixel(p.x() + dx, p.y() + dy);
            if (score > bestScore) {
                bestScore = score;
                best = QPoint(dx, dy);
            }
        }
    std::printf("fenêtre trouvée en (%d, %d)\n", best.x(), best.y());
    QMap<QRgb, QPair<int, int>> byColour; // colour -> (matching, total)
    for (const QPoint &p : points) {
        auto &n = byColour[ref.pixel(p)];
        ++n.second;
        n.first += ref.pixel(p) == shot.pixel(p + best);
    }
    int fail = 0;
    int matching = 0;
    for (auto it = byColour.cbegin(); it != byColour.cend(); ++it) {
        matching += it.value().first;
        // Colours of at least 20 pixels: the curve, the beam, the solution...
        if (it.value().second < 20)
            continue;
        const double share = double(it.value().first) / it.value().second;
        const bool ok = share >= 0.98;
        fail += !ok;
        std::printf("%s  RGB(%d, %d, %d) : %d / %d pixels\n", ok ? "ok   " : "ÉCHEC",
                    qRed(it.key()), qGreen(it.key()), qBlue(it.key()), it.value().first,
                    it.value().second);
    }
    std::printf("pixels colorés identiques : %d / %lld\n", matching, qlonglong(points.size()));
    return fail == 0 && matching >= 0.98 * points.size() ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("grab")) {
        QScreen *screen = QGuiApplication::primaryScreen();
        if (!screen)
            return 1;
        // The bare X server's screen is black around the one window shown.
        const QImage all = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        QRect box;
        for (int y = 0; y < all.height(); ++y)
            for (int x = 0; x < all.width(); ++x)
                if (qRgb(0, 0, 0) != all.pixel(x, y))
                    box |= QRect(x, y, 1, 1);
        return !box.isEmpty() && all.copy(box).save(args[2]) ? 0 : 1;
    }
    if (args.size() >= 4 && args[1] == QLatin1String("compare")) {
        const QImage ref = QImage(args[2]).convertToFormat(QImage::Format_RGB32);
        const QImage shot = QImage(args[3]).convertToFormat(QImage::Format_RGB32);
        if (ref.isNull() || shot.isNull())
            return 2;
        QVector<QRect> parts;
        for (int i = 4; i < args.size(); ++i) {
            const QStringList n = args[i].split(QLatin1Char(','));
            if (n.size() != 4)
                return 2;
            parts << QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
        }
        if (parts.isEmpty())
            parts << ref.rect();
        return compare(ref, shot, parts);
    }
    std::fputs("usage : spectro_screencheck grab OUT.png | compare REF.png SHOT.png [X,Y,L,H...]\n",
               stderr);
    return 2;
}
