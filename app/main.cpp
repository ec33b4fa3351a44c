#include "app/session.h"
#include "common/zoom.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    QString screenshot;
    QString file;
    int zoomWanted = 0;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        if (options && std::strcmp(argv[i], "--") == 0) {
            options = false;
            continue;
        }
        if (!options) {
            file = QString::fromLocal8Bit(argv[i]);
            continue;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Spectrophotométrie (spectro) version %s\n", SPECTRO_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--screenshot") == 0) {
            if (i + 1 >= argc) {
                std::fputs("spectro : --screenshot demande un nom de fichier image\n", stderr);
                return 2;
            }
            screenshot = QString::fromLocal8Bit(argv[++i]);
        } else if (std::strcmp(argv[i], "--zoom") == 0 ||
                   std::strncmp(argv[i], "--zoom=", 7) == 0) {
            const char *value = argv[i][6] == '=' ? argv[i] + 7 : nullptr;
            if (!value && i + 1 < argc)
                value = argv[++i];
            const std::optional<int> z =
                value ? zoom::parse(QString::fromLocal8Bit(value)) : std::nullopt;
            if (!z) {
                std::fprintf(
                    stderr,
                    "spectro : --zoom demande un pourcentage de 100 à 200 (reçu « %s »)\n%s",
                    value ? value : "", kUsage);
                return 2;
            }
            zoomWanted = *z;
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "spectro : option inconnue « %s »\n%s", argv[i], kUsage);
            return 2;
        } else {
            file = QString::fromLocal8Bit(argv[i]);
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
