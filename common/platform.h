#pragma once
// Where the program puts and looks for things on this system: one place that
// answers "which folder for X", so that a port to another system changes only
// this class.
#include <QString>
#include <QStringList>
#include <functional>

class Platform
{
public:
    // The folder a file dialog opens on: the process's current folder when
    // the user may write there, else the user's documents folder (the home
    // folder when there is none). An installed program's folder is read-only:
    // a dialog must not propose to save there.
    static QString dialogFolder();
    // The user's documents folder, or the home folder when it does not exist.
    static QString documentsFolder();

    // The folder of the hand-off file TEMPKZ.TMP: the program's folder when
    // the user may write there, else the per-user data folder of the program
    // (QStandardPaths::AppDataLocation), created when missing.
    static QString handOffFolder();
    static QString handOffFile();

    // The program's arguments (argv[0] left out) as the user typed them. On
    // Windows argv holds them in the ANSI code page, which turns any other
    // character of a file name into "?": the wide command line keeps them.
    static QStringList arguments(int argc, char *argv[]);
    // A window program has no standard output on Windows: when started from
    // a console, write --help and the errors there, in UTF-8. Nothing elsewhere.
    static void attachParentConsole();

    // Whether the user may create files in folder.
    static bool isWritableFolder(const QString &folder);
    // Replaces the check above when set. The system's check asks the kernel,
    // which lets the administrator write anywhere: tests run as root stand a
    // non-privileged user in with the permission bits.
    static std::function<bool(const QString &folder)> writableCheck;
};
