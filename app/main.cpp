#include "common/appdata.h"
#include "common/msgbox.h"
#include "common/safefile.h"
#include "config/configfile.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/windows.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QImageWriter>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstring>

namespace
{

const char *const kUsage =
    "Utilisation : spectro [OPTIONS] [FICHIER]\n"
    "Simulateur de spectrophotomètre UV-visible.\n"
    "\n"
    "  FICHIER              une configuration (.C12) ou un exercice (.E35) à ouvrir\n"
    "                       (après --, un nom qui commence par un tiret)\n"
    "  --screenshot IMAGE   démarre sans fenêtre, enregistre l'image de la fenêtre\n"
    "                       principale dans IMAGE (PNG) puis quitte\n"
    "  --help               affiche cette aide et quitte\n"
    "  --version            affiche la version et quitte\n";

} // namespace

int main(int argc, char *argv[])
{
    QString screenshot;
    QString file;
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
        } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "spectro : option inconnue « %s »\n%s", argv[i], kUsage);
            return 2;
        } else {
            file = QString::fromLocal8Bit(argv[i]);
        }
    }
    if (!screenshot.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
    if (!file.isEmpty()) {
        const QString path = QFileInfo(file).absoluteFilePath();
        if (!QFileInfo::exists(path)) {
            // Not a disk fault: the name given leads nowhere.
            w.openStartFile = [&w, path] {
                msgbox::show(
                    &w, QStringLiteral("Le fichier ") + path + QStringLiteral(" est introuvable"),
                    QStringLiteral("Fichier absent"), msgbox::Icon::Error);
            };
        } else if (path.endsWith(QLatin1String(".E35"), Qt::CaseInsensitive)) {
            w.openStartFile = [&w, path] {
                if (w.openExerciseFile)
                    w.openExerciseFile(path, QString());
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
            const QImage image = w.grab().toImage();
            QByteArray format = QFileInfo(screenshot).suffix().toLower().toLatin1();
            if (!QImageWriter::supportedImageFormats().contains(format))
                format = "png";
            const bool ok = safefile::save(
                screenshot, [&](QIODevice &d) { return image.save(&d, format.constData()); });
            QApplication::exit(ok ? 0 : 1);
        }
    });
    return app.exec();
}
