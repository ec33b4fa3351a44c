#include "app/session.h"

#include "common/appdata.h"
#include "common/msgbox.h"
#include "common/safefile.h"
#include "common/zoom.h"
#include "config/configfile.h"
#include "mainwindow/feuillep.h"
#include "mainwindow/reprise.h"
#include "mainwindow/windows.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QImageWriter>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <memory>

namespace
{

// Exit code of an event loop left to rebuild the window at another zoom.
constexpr int kRestart = 0x5a4f4f4d;

} // namespace

int zoomFromEnvironment()
{
    bool ok = false;
    const double f = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (!ok)
        return 100;
    return std::clamp(int(f * 100 + 0.5), zoom::kMinimum, zoom::kMaximum);
}

namespace
{

void setScaleFactor(int percent)
{
    qputenv("QT_SCALE_FACTOR", QByteArray::number(percent / 100.0, 'g', 4));
}

// One life of the application and its main window at a zoom; returns kRestart
// when the window is to be rebuilt at the zoom left in percent.
int runWindow(int &argc, char **argv, Session &session, int life, int &percent,
              std::unique_ptr<Reprise> &carried)
{
    const QString &screenshot = session.screenshot;
    QString &file = session.file;
    QApplication app(argc, argv);
    // A zoom too large for the screen comes down to the largest that fits.
    if (session.fitToScreen) {
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
            std::fprintf(stderr, "spectro : %s : %s\n", c.title.toUtf8().constData(),
                         c.text.toUtf8().constData());
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
        if (!QFileInfo::exists(path)) {
            // Not a disk fault: the name given leads nowhere.
            w.openStartFile = [&w, path] {
                msgbox::show(&w,
                             QStringLiteral("Le fichier ") + QDir::toNativeSeparators(path) +
                                 QStringLiteral(" est introuvable"),
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
    if (session.onShown)
        QTimer::singleShot(0, &w, [&w, &session, life] { session.onShown(w, life); });
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

} // namespace

int runSession(int &argc, char **argv, Session session)
{
    int percent = session.zoom;
    std::unique_ptr<Reprise> carried; // the window's state across a change of zoom
    for (int life = 0;; ++life) {
        setScaleFactor(percent);
        zoom::setCurrent(percent);
        const int rc = runWindow(argc, argv, session, life, percent, carried);
        if (rc != kRestart)
            return rc;
    }
}
