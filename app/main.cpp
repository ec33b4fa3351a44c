#include "common/appdata.h"
#include "common/msgbox.h"
#include "common/zoom.h"
#include "config/configfile.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/reprise.h"
#include "mainwindow/windows.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{

const char *const kUsage =
    "Utilisation : spectro [OPTIONS] [FICHIER]\n"
    "Simulateur de spectrophotomètre UV-visible.\n"
    "\n"
    "  FICHIER              une configuration (.C12) ou un exercice (.E35) à ouvrir\n"
    "  --zoom POURCENTAGE   agrandit tout l'affichage, de 100 à 200 (125, 150 ou\n"
    "                       200 pour un vidéoprojecteur) ; Ctrl++ et Ctrl+- le\n"
    "                       changent ensuite dans la fenêtre\n"
    "  --screenshot IMAGE   démarre sans fenêtre, enregistre l'image de la fenêtre\n"
    "                       principale dans IMAGE (PNG) puis quitte\n"
    "  --help               affiche cette aide et quitte\n"
    "  --version            affiche la version et quitte\n";

// Exit code of an event loop left to rebuild the window at another zoom.
constexpr int kRestart = 0x5a4f4f4d;

// The zoom given by QT_SCALE_FACTOR when no --zoom is given.
int zoomFromEnvironment()
{
    bool ok = false;
    const double f = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok)
        return 100;
    return std::clamp(int(f * 100 + 0.5), zoom::kMinimum, zoom::kMaximum);
}

void setScaleFactor(int percent)
{
    qputenv("QT_SCALE_FACTOR", QByteArray::number(percent / 100.0, 'g', 4));
}

} // namespace

// One life of the application and its main window at a zoom; returns kRestart
// when the window is to be rebuilt at the zoom left in percent.
int runWindow(int &argc, char **argv, const QString &screenshot, QString &file, int &percent,
              std::unique_ptr<Reprise> &carried)
{
    QApplication app(argc, argv);
    // A zoom too large for the screen comes down to the largest that fits.
    if (screenshot.isEmpty()) {
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const QSize physical = screen->availableGeometry().size() * screen->devicePixelRatio();
            const int fitting = zoom::largestFitting(percent, physical, QSize(804, 600));
            if (fitting != percent) {
                std::fprintf(stderr,
                             "spectro : zoom ramené de %d %% à %d %%, la plus grande taille "
                             "qui tient sur l'écran\n",
                             percent, fitting);
                percent = fitting;
                return kRestart;
            }
        }
    }
    QApplication::setApplicationName(QStringLiteral("spectro"));
    QApplication::setApplicationVersion(QStringLiteral(SPECTRO_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/spectro.svg")));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFr;
    if (qtFr.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFr);

    if (!screenshot.isEmpty()) {
        // Nobody can answer a message box in a screenshot run: print it instead.
        msgbox::handler = [](const msgbox::Call &c) {
            std::fprintf(stderr, "spectro : %s : %s\n", qPrintable(c.title), qPrintable(c.text));
            return c.buttons == msgbox::Buttons::YesNo ? msgbox::Answer::No : msgbox::Answer::Ok;
        };
    }
    FeuilleP w;
    connectWindows(w);
    w.completeFirstTraceAtOnce = !screenshot.isEmpty();
    if (carried) {
        // A window rebuilt at another zoom: as it was, without a first trace.
        const Reprise r = *carried;
        carried.reset();
        w.openStartFile = [&w, r] { restoreReprise(w, r); };
    } else if (!file.isEmpty()) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (path.endsWith(QLatin1String(".E35"), Qt::CaseInsensitive)) {
            w.openStartFile = [&w, path] {
                if (w.openExerciseFile)
                    w.openExerciseFile(path);
            };
        } else {
            w.openStartFile = [&w, path] {
                w.nomfichier = path;
                chargeconfig(w);
            };
        }
    }
    w.show();
    QTimer::singleShot(0, &w, [&w, &screenshot] {
        w.afterShow();
        if (!screenshot.isEmpty()) {
            QApplication::processEvents();
            const bool ok = w.grab().save(screenshot);
            QApplication::exit(ok ? 0 : 1);
        }
    });
    zoom::setHandler([&percent](int z) {
        percent = z;
        QApplication::exit(kRestart);
    });
    const int rc = app.exec();
    zoom::setHandler(nullptr);
    if (rc == kRestart) {
        carried = std::make_unique<Reprise>(captureReprise(w));
        file.clear();
    }
    return rc;
}

int main(int argc, char *argv[])
{
    QString screenshot;
    QString file;
    int zoomWanted = 0;
    for (int i = 1; i < argc; ++i) {
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
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "spectro : option inconnue « %s »\n%s", argv[i], kUsage);
            return 2;
        } else {
            file = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (!screenshot.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int percent = zoomWanted ? zoomWanted : zoomFromEnvironment();
    std::unique_ptr<Reprise> carried; // the window's state across a change of zoom
    for (;;) {
        setScaleFactor(percent);
        zoom::setCurrent(percent);
        const int rc = runWindow(argc, argv, screenshot, file, percent, carried);
        if (rc != kRestart)
            return rc;
    }
}
