#include "common/platform.h"

#include "common/appdata.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <cstdio>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

std::function<bool(const QString &)> Platform::writableCheck;

bool Platform::isWritableFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    if (writableCheck)
        return writableCheck(folder);
    const QFileInfo info(folder);
    if (!info.isDir())
        return false;
#ifdef Q_OS_WIN
    // The folder's access list decides, which QFileInfo does not read (a
    // pupil may not write in Program Files, whose attributes say nothing of
    // it): ask by trying.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("spectro-XXXXXX.tmp")));
    return probe.open();
#else
    // access(W_OK): permissions and read-only mounts both count.
    return info.isWritable();
#endif
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

QStringList Platform::arguments(int argc, char *argv[])
{
    QStringList args;
#ifdef Q_OS_WIN
    int count = 0;
    if (LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            args << QString::fromWCharArray(wide[i]);
        LocalFree(wide);
        return args;
    }
#endif
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

void Platform::attachParentConsole()
{
#ifdef Q_OS_WIN
    // Pipes and files given by the caller are kept as they are.
    if (GetStdHandle(STD_OUTPUT_HANDLE) || GetStdHandle(STD_ERROR_HANDLE))
        return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
    SetConsoleOutputCP(CP_UTF8);
#endif
}
