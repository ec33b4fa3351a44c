#pragma once
// The container of every data file the program writes itself: records of 128
// bytes, record n at (n - 1) * 128, each a 16-bit little-endian length then
// that many Windows-1252 bytes, zero filler.
#include <QByteArray>
#include <QString>
#include <optional>

namespace recordfile
{

constexpr int kRecordSize = 128;
constexpr int kMaxText = 126;

// Windows-1252 conversions. Encoding fails (empty) on a character that the
// code page cannot hold; decoding maps every byte to a character that encodes
// back to it.
std::optional<QByteArray> encodeCp1252(const QString &text);
QString decodeCp1252(const QByteArray &bytes);

enum class ReadStatus { Ok, BeyondEnd, Corrupt };

// Reads record n (from 1) of an in-memory file. A record that starts at or
// after the end reads as BeyondEnd (an empty text); a length above 126 or a
// text cut by the end of the data is Corrupt. The filler of the last record
// may be missing.
ReadStatus readRecord(const QByteArray &data, int n, QString *text);

// Writes record n into an in-memory file, growing it with zero bytes.
// Fails, leaving data unchanged, on a text longer than 126 bytes once encoded
// or with a character Windows-1252 cannot hold.
bool writeRecord(QByteArray &data, int n, const QString &text, QString *error = nullptr);

// Builds a whole file from its records, in order, each padded to 128 bytes.
std::optional<QByteArray> buildFile(const QStringList &records, QString *error = nullptr);

// File helpers. readFileRecord fails on an unreadable file or a corrupt
// record; a record beyond the end reads as "".
bool readFileRecord(const QString &path, int n, QString *text);
// Writes one record in place (creating the file), keeping the other records.
bool writeFileRecord(const QString &path, int n, const QString &text);
// Writes a whole file through safefile::save: on failure (a full disk
// included) the previous file is left intact.
bool saveFile(const QString &path, const QByteArray &data, QString *error = nullptr);

} // namespace recordfile
