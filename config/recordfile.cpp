#include "recordfile.h"

#include "common/cp1252.h"
#include "common/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace recordfile
{

std::optional<QByteArray> encodeCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const int b = cp1252::fromUnicode(ch.unicode());
        if (b < 0)
            return std::nullopt;
        out.append(char(b));
    }
    return out;
}

QString decodeCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes)
        out.append(cp1252::toUnicode(static_cast<unsigned char>(c)));
    return out;
}

ReadStatus readRecord(const QByteArray &data, int n, QString *text)
{
    if (text)
        text->clear();
    if (n < 1)
        return ReadStatus::Corrupt;
    const qint64 offset = qint64(n - 1) * kRecordSize;
    if (offset >= data.size())
        return ReadStatus::BeyondEnd;
    if (offset + 2 > data.size())
        return ReadStatus::Corrupt;
    const int length = static_cast<unsigned char>(data[offset]) |
                       (static_cast<unsigned char>(data[offset + 1]) << 8);
    if (length > kMaxText || offset + 2 + length > data.size())
        return ReadStatus::Corrupt;
    if (text)
        *text = decodeCp1252(data.mid(offset + 2, length));
    return ReadStatus::Ok;
}

bool writeRecord(QByteArray &data, int n, const QString &text, QString *error)
{
    if (n < 1)
        return false;
    const std::optional<QByteArray> bytes = encodeCp1252(text);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("caractère non représentable");
        return false;
    }
    if (bytes->size() > kMaxText) {
        if (error)
            *error = QStringLiteral("texte trop long");
        return false;
    }
    const qint64 offset = qint64(n - 1) * kRecordSize;
    if (data.size() < offset + kRecordSize)
        data.append(QByteArray(offset + kRecordSize - data.size(), '\0'));
    QByteArray record(kRecordSize, '\0');
    record[0] = char(bytes->size() & 0xFF);
    record[1] = char((bytes->size() >> 8) & 0xFF);
    record.replace(2, bytes->size(), *bytes);
    data.replace(offset, kRecordSize, record);
    return true;
}

std::optional<QByteArray> buildFile(const QStringList &records, QString *error)
{
    QByteArray data;
    for (int i = 0; i < records.size(); ++i) {
        if (!writeRecord(data, i + 1, records[i], error))
            return std::nullopt;
    }
    return data;
}

bool readFileRecord(const QString &path, int n, QString *text)
{
    if (text)
        text->clear();
    if (QFileInfo(path).isDir())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const qint64 offset = qint64(n - 1) * kRecordSize;
    if (n < 1)
        return false;
    if (offset >= f.size())
        return true;
    if (!f.seek(offset))
        return false;
    const QByteArray chunk = f.read(kRecordSize);
    QByteArray data(offset, '\0');
    data.append(chunk);
    return readRecord(data, n, text) == ReadStatus::Ok;
}

bool writeFileRecord(const QString &path, int n, const QString &text)
{
    QByteArray record;
    if (n < 1 || !writeRecord(record, 1, text))
        return false;
    return safefile::writeAt(path, qint64(n - 1) * kRecordSize, record);
}

bool saveFile(const QString &path, const QByteArray &data, QString *error)
{
    return safefile::save(path, data, error);
}

} // namespace recordfile
