#include "common/platform.h"

#include "common/appdata.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

std::function<bool(const QString &)> Platform::writableCheck;

bool Platform::isWritableFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    if (writableCheck)
        return writableCheck(folder);
    // On Unix this asks access(W_OK): permissions and read-only mounts both count.
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString Platform::documentsFolder()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!docs.isEmpty() && QFileInfo(docs).isDir())
        return QDir::cleanPath(docs);
    return QDir::homePath();
}

QString Platform::dialogFolder()
{
    const QString current = QDir::currentPath();
    if (isWritableFolder(current))
        return current;
    return documentsFolder();
}

QString Platform::handOffFolder()
{
    const QString program = programFolder();
    if (isWritableFolder(program))
        return program;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty() || !QDir().mkpath(data))
        return program;
    return QDir::cleanPath(data) + QLatin1Char('/');
}

QString Platform::handOffFile()
{
    return joinPath(handOffFolder(), QStringLiteral("TEMPKZ.TMP"));
}
