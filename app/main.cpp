#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <cstring>

int main(int argc, char *argv[])
{
    QString screenshot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            screenshot = QString::fromLocal8Bit(argv[i + 1]);
    }
    if (!screenshot.isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("spectro"));
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QTranslator qtFr;
    if (qtFr.load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtFr);

    FeuilleP w;
    w.completeFirstTraceAtOnce = !screenshot.isEmpty();
    w.show();
    QTimer::singleShot(0, &w, [&w, &screenshot] {
        w.afterShow();
        if (!screenshot.isEmpty()) {
            QApplication::processEvents();
            const bool ok = w.grab().save(screenshot);
            QApplication::exit(ok ? 0 : 1);
        }
    });
    return app.exec();
}
