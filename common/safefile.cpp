#include "common/safefile.h"

#include <QFile>
#include <QSaveFile>

namespace safefile
{

bool writeAll(QFileDevice &file, const QByteArray &data)
{
    return file.write(data) == data.size() && file.flush() && file.error() == QFileDevice::NoError;
}

bool save(const QString &path, const std::function<bool(QIODevice &)> &write, QString *error)
{
    QSaveFile file(path);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        // Cancelled, the commit only removes the temporary file.
        if (file.isOpen()) {
            file.cancelWriting();
            file.commit();
        }
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    if (!write(file) || !file.flush() || file.error() != QFileDevice::NoError)
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool save(const QString &path, const QByteArray &data, QString *error)
{
    return save(
        path, [&data](QIODevice &d) { return d.write(data) == data.size(); }, error);
}

bool writeAt(const QString &path, qint64 offset, const QByteArray &bytes, QString *error)
{
    QFile file(path);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (offset < 0 || !file.open(QIODevice::ReadWrite))
        return fail();
    const qint64 size = file.size();
    if (size < offset) {
        if (!file.seek(size) || !writeAll(file, QByteArray(offset - size, '\0')))
            return fail();
    }
    if (!file.seek(offset) || !writeAll(file, bytes))
        return fail();
    file.close();
    return file.error() == QFileDevice::NoError || fail();
}

} // namespace safefile
