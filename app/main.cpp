#include "app/session.h"
#include "common/platform.h"
#include "common/zoom.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace
{

const char *const kUsage =
    "Utilisation : spectro [OPTIONS] [FICHIER]\n"
    "Simulateur de spectrophotomètre UV-visible.\n"
    "\n"
    "  FICHIER              une configuration (.C12) ou un exercice (.E35) à ouvrir\n"
    "                       (après --, un nom qui commence par un tiret)\n"
    "  --zoom POURCENTAGE   agrandit tout l'affichage, de 100 à 200 (125, 150 ou\n"
    "                       200 pour un vidéoprojecteur) ; Ctrl++ et Ctrl+- le\n"
    "                       changent ensuite dans la fenêtre\n"
    "  --screenshot IMAGE   démarre sans fenêtre, enregistre l'image de la fenêtre\n"
    "                       principale dans IMAGE (PNG) puis quitte\n"
    "  --help               affiche cette aide et quitte\n"
    "  --version            affiche la version et quitte\n";

} // namespace

int main(int argc, char *argv[])
{
    Platform::attachParentConsole();
    QString screenshot;
    QString file;
    int zoomWanted = 0;
    bool options = true;
    const QStringList args = Platform::arguments(argc, argv);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (options && arg == QLatin1String("--")) {
            options = false;
            continue;
        }
        if (!options) {
            file = arg;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == QLatin1String("--version")) {
            std::printf("Spectrophotométrie (spectro) version %s\n", SPECTRO_VERSION);
            return 0;
        }
        if (arg == QLatin1String("--screenshot")) {
            if (i + 1 >= args.size()) {
                std::fputs("spectro : --screenshot demande un nom de fichier image\n", stderr);
                return 2;
            }
            screenshot = args[++i];
        } else if (arg == QLatin1String("--zoom") || arg.startsWith(QLatin1String("--zoom="))) {
            std::optional<QString> value;
            if (arg.size() > 6)
                value = arg.mid(7);
            else if (i + 1 < args.size())
                value = args[++i];
            const std::optional<int> z = value ? zoom::parse(*value) : std::nullopt;
            if (!z) {
                std::fprintf(
                    stderr,
                    "spectro : --zoom demande un pourcentage de 100 à 200 (reçu « %s »)\n%s",
                    value ? value->toUtf8().constData() : "", kUsage);
                return 2;
            }
            zoomWanted = *z;
        } else if (arg.size() > 1 && arg.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "spectro : option inconnue « %s »\n%s", arg.toUtf8().constData(),
                         kUsage);
            return 2;
        } else {
            file = arg;
        }
    }
    if (!screenshot.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Session session;
    session.screenshot = screenshot;
    session.file = file;
    session.zoom = zoomWanted ? zoomWanted : zoomFromEnvironment();
    session.fitToScreen = screenshot.isEmpty();
    return runSession(argc, argv, session);
}
