#pragma once
// What the fuzz targets that need widgets share: one offscreen application
// for the whole run, a scratch program folder, message boxes answered OK, and
// a way out that says which rule an input broke.
#include "common/msgbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzzenv
{

// Ends the run on a broken rule; libFuzzer keeps the input that did it.
[[noreturn]] inline void fail(const char *rule, const QString &detail = QString())
{
    std::fprintf(stderr, "broken rule: %s %s\n", rule, qPrintable(detail));
    std::abort();
}

inline void check(bool ok, const char *rule, const QString &detail = QString())
{
    if (!ok)
        fail(rule, detail);
}

// The scratch folder, made the program's folder before any window exists.
inline const QString &scratch()
{
    static QTemporaryDir *dir = [] {
        auto *d = new QTemporaryDir;
        if (!d->isValid())
            fail("scratch folder");
        return d;
    }();
    static const QString path = dir->path();
    return path;
}

// Number of message boxes shown so far.
inline int &messages()
{
    static int n = 0;
    return n;
}

inline QApplication &app()
{
    static QApplication *a = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("SPECTRO_DATA_DIR", scratch().toUtf8());
        static int argc = 1;
        static char arg0[] = "fuzz";
        static char *argv[] = {arg0, nullptr};
        auto *application = new QApplication(argc, argv);
        // Qt's warnings on odd file names would drown the fuzzer's own output.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
        msgbox::handler = [](const msgbox::Call &) {
            ++messages();
            return msgbox::Answer::Ok;
        };
        return application;
    }();
    return *a;
}

// Writes the input as a file of the scratch folder (or of a sub-folder).
inline QString writeInput(const QString &name, const std::uint8_t *data, std::size_t size)
{
    const QString path = QDir(scratch()).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("writing the input", path);
    f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

} // namespace fuzzenv
