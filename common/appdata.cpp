#include "common/appdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programFolder()
{
    QString dir = qEnvironmentVariable("SPECTRO_DATA_DIR");
    if (dir.isEmpty()) {
        const QString exeDir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
        const QString installed = QDir(exeDir).absoluteFilePath(QStringLiteral("../share/spectro"));
#ifdef SPECTRO_BUILD_DATA_DIR
        const QString build = QStringLiteral(SPECTRO_BUILD_DATA_DIR);
#else
        const QString build;
#endif
        if (!exeDir.isEmpty() && QFileInfo(installed).isDir())
            dir = installed;
        else if (!build.isEmpty() && QFileInfo(build).isDir())
            dir = build;
        else
            dir = exeDir.isEmpty() ? QDir::currentPath() : exeDir;
    }
    dir = QDir::cleanPath(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}
