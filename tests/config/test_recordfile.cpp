#include "config/recordfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace recordfile;

TEST(RecordFile, LayoutIsLengthThenTextThenZeroFiller)
{
    QByteArray data;
    ASSERT_TRUE(writeRecord(data, 1, QStringLiteral("KELVANO")));
    ASSERT_TRUE(writeRecord(data, 2, QStringLiteral(" 550")));
    ASSERT_EQ(data.size(), 256);
    EXPECT_EQ(data.left(9), QByteArray("\x07\x00KELVANO", 9));
    EXPECT_EQ(data.mid(9, 119), QByteArray(119, '\0'));
    EXPECT_EQ(data.mid(128, 6), QByteArray("\x04\x00 550", 6));
}

TEST(RecordFile, FrenchCharactersRoundTripByteExactly)
{
    const QString text = QStringLiteral("é è à ç œ € ’ « »");
    const QByteArray expected("\xE9 \xE8 \xE0 \xE7 \x9C \x80 \x92 \xAB \xBB");
    ASSERT_EQ(encodeCp1252(text).value(), expected);
    QByteArray data;
    ASSERT_TRUE(writeRecord(data, 3, text));
    EXPECT_EQ(data.mid(256 + 2, expected.size()), expected);
    QString back;
    ASSERT_EQ(readRecord(data, 3, &back), ReadStatus::Ok);
    EXPECT_EQ(back, text);
}

// Every byte reads as a character that writes back as that byte, the five
// that Windows-1252 leaves unassigned included (Windows reads them as the C1
// controls of the same value).
TEST(RecordFile, EveryByteValueRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray bytes(1, char(b));
        const QString text = decodeCp1252(bytes);
        ASSERT_EQ(text.size(), 1) << b;
        EXPECT_NE(text[0], QChar(0xFFFD)) << b;
        EXPECT_EQ(encodeCp1252(text), std::optional<QByteArray>(bytes)) << b;
    }
    for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(decodeCp1252(QByteArray(1, char(b))), QString(QChar(char16_t(b)))) << b;
    // A file holding all of them, 126 to a record, loads and saves back identical.
    QByteArray file;
    for (int n = 1, b = 0; b < 256; ++n) {
        QByteArray text;
        for (; b < 256 && text.size() < kMaxText; ++b)
            text.append(char(b));
        QByteArray record(kRecordSize, '\0');
        record[0] = char(text.size());
        record.replace(2, text.size(), text);
        file += record;
    }
    QByteArray saved;
    for (int n = 1; n <= file.size() / kRecordSize; ++n) {
        QString text;
        ASSERT_EQ(readRecord(file, n, &text), ReadStatus::Ok) << n;
        ASSERT_TRUE(writeRecord(saved, n, text)) << n;
    }
    EXPECT_EQ(saved, file);
    // Characters outside the code page are still refused, C1 controls other
    // than the five included.
    EXPECT_FALSE(encodeCp1252(QString(QChar(char16_t(0x80)))));
    EXPECT_FALSE(encodeCp1252(QString(QChar(char16_t(0x9F)))));
    EXPECT_FALSE(encodeCp1252(QStringLiteral("\uFFFD")));
}

TEST(RecordFile, WritingRefusesWhatCannotBeStored)
{
    QByteArray data("unchanged");
    EXPECT_FALSE(writeRecord(data, 1, QString(127, QLatin1Char('x'))));
    EXPECT_FALSE(writeRecord(data, 1, QStringLiteral("λ")));
    EXPECT_FALSE(writeRecord(data, 1, QStringLiteral("日本")));
    EXPECT_EQ(data, QByteArray("unchanged"));
    EXPECT_TRUE(writeRecord(data, 1, QString(126, QLatin1Char('x'))));
}

TEST(RecordFile, ReadingCases)
{
    QByteArray data;
    writeRecord(data, 1, QStringLiteral("KELVANO"));
    writeRecord(data, 2, QStringLiteral("0,001"));
    QString text;
    // The last record may end right after its text.
    QByteArray cut = data.left(128 + 2 + 5);
    EXPECT_EQ(readRecord(cut, 2, &text), ReadStatus::Ok);
    EXPECT_EQ(text, QStringLiteral("0,001"));
    // A text cut by the end of the file is corrupt.
    EXPECT_EQ(readRecord(data.left(128 + 2 + 3), 2, &text), ReadStatus::Corrupt);
    EXPECT_EQ(readRecord(data.left(129), 2, &text), ReadStatus::Corrupt);
    // A record past the end reads as an empty text.
    EXPECT_EQ(readRecord(data, 3, &text), ReadStatus::BeyondEnd);
    EXPECT_TRUE(text.isEmpty());
    // A length above 126 is an error.
    QByteArray bad = data;
    bad[0] = char(127);
    EXPECT_EQ(readRecord(bad, 1, &text), ReadStatus::Corrupt);
    bad[0] = char(0x07);
    bad[1] = char(0x01);
    EXPECT_EQ(readRecord(bad, 1, &text), ReadStatus::Corrupt);
}

TEST(RecordFile, FileRecordsInPlaceAndAtomicSave)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TEMPKZ.TMP"));
    ASSERT_TRUE(writeFileRecord(path, 6, QStringLiteral("OUI")));
    ASSERT_TRUE(writeFileRecord(path, 31, QString()));
    ASSERT_TRUE(writeFileRecord(path, 6, QStringLiteral("NON")));
    QString text;
    ASSERT_TRUE(readFileRecord(path, 6, &text));
    EXPECT_EQ(text, QStringLiteral("NON"));
    ASSERT_TRUE(readFileRecord(path, 31, &text));
    EXPECT_EQ(text, QString());
    ASSERT_TRUE(readFileRecord(path, 40, &text)); // beyond the end: empty
    EXPECT_FALSE(readFileRecord(dir.filePath(QStringLiteral("absent")), 1, &text));
    EXPECT_FALSE(readFileRecord(dir.path(), 1, &text));

    const QString cfg = dir.filePath(QStringLiteral("a.C12"));
    ASSERT_TRUE(saveFile(cfg, QByteArray(1152, 'x')));
    // Saving into a folder that does not exist fails and writes nothing.
    EXPECT_FALSE(saveFile(dir.filePath(QStringLiteral("no/such/b.C12")), QByteArray(3, 'y')));
    QFile f(cfg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(1152, 'x'));
}
