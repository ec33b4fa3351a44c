#include "recordfile.h"

#include "common/safefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <array>

namespace recordfile
{
namespace
{

// Code points of bytes 0x80 to 0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

std::optional<QByteArray> encodeCp1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < int(kHigh.size()); ++i) {
            if (kHigh[i] != 0 && kHigh[i] == u) {
                found = i;
                break;
            }
        }
        if (found < 0)
            return std::nullopt;
        out.append(char(0x80 + found));
    }
    return out;
}

QString decodeCp1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0) {
            const char16_t u = kHigh[b - 0x80];
            out.append(QChar(u ? u : char16_t(0xFFFD)));
        } else {
            out.append(QChar(char16_t(b)));
        }
    }
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
