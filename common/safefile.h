#pragma once
// The one way the program writes a file. A whole file is written aside,
// pushed out to the system and checked, and only then put in place of the
// earlier one: a full disk or a refused write reports a failure and leaves
// the earlier file byte for byte as it was. QSaveFile alone is not enough:
// its commit() does not report a write that fails while its buffer is
// flushed (Qt 6.4), and it would rename a cut file over the good one.
#include <QByteArray>
#include <QString>
#include <functional>

class QFileDevice;
class QIODevice;

namespace safefile
{

// Replaces the file at path with what write() puts on the device. False, with
// the system's reason in error, when anything fails; no temporary file stays.
bool save(const QString &path, const std::function<bool(QIODevice &)> &write,
          QString *error = nullptr);
bool save(const QString &path, const QByteArray &data, QString *error = nullptr);

// Writes bytes at offset of the file in place (records of a file another
// program shares), creating the file and filling any gap with zero bytes.
bool writeAt(const QString &path, qint64 offset, const QByteArray &bytes, QString *error = nullptr);

// Writes data and empties the device's buffer into the system: a failure that
// only shows while the buffer goes out (a full disk) is caught here.
bool writeAll(QFileDevice &file, const QByteArray &data);

} // namespace safefile
