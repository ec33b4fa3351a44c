// Every writer of the program goes through safefile: a disk that fills up
// while a file is written gives a failure and leaves the earlier file as it
// was, whatever the writer.
#include "common/safefile.h"
#include "config/recordfile.h"
#include "support/fsfaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{

QByteArray readAllBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList listing(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct Writer {
    const char *name;
    std::function<bool(const QString &path, const QByteArray &data)> write;
};

void PrintTo(const Writer &w, std::ostream *os)
{
    *os << w.name;
}

const Writer kWriters[] = {
    {"RecordFile",
     [](const QString &p, const QByteArray &d) { return recordfile::saveFile(p, d); }},
    {"Bytes", [](const QString &p, const QByteArray &d) { return safefile::save(p, d); }},
    {"Device",
     [](const QString &p, const QByteArray &d) {
         return safefile::save(p, [&d](QIODevice &dev) { return dev.write(d) == d.size(); });
     }},
};

class SaveOnAFullDisk : public ::testing::TestWithParam<Writer>
{
};

} // namespace

TEST_P(SaveOnAFullDisk, FailsAndKeepsTheEarlierFileByteForByte)
{
    if (!fsfaults::WriteLimit::supported())
        GTEST_SKIP() << fsfaults::kNoWriteLimit;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString earlier = dir.filePath(QStringLiteral("mesure.C12"));
    const QByteArray old(1152, 'o');
    ASSERT_TRUE(GetParam().write(earlier, old));
    const QString fresh = dir.filePath(QStringLiteral("nouveau.C12"));
    const QStringList before = listing(dir.path());
    {
        fsfaults::WriteLimit disk(512);
        ASSERT_TRUE(disk.active());
        // Fits in the buffer: only the flush meets the full disk.
        EXPECT_FALSE(GetParam().write(earlier, QByteArray(1152, 'n')));
        EXPECT_FALSE(GetParam().write(fresh, QByteArray(1152, 'n')));
        // What fits is written.
        EXPECT_TRUE(GetParam().write(dir.filePath(QStringLiteral("petit")), QByteArray(100, 'p')));
    }
    EXPECT_EQ(readAllBytes(earlier), old);
    EXPECT_FALSE(QFileInfo::exists(fresh));
    EXPECT_EQ(listing(dir.path()), before + QStringList{QStringLiteral("petit")});
}

INSTANTIATE_TEST_SUITE_P(Writers, SaveOnAFullDisk, ::testing::ValuesIn(kWriters),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SafeFile, AFlushIntoDevFullIsCaught)
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        GTEST_SKIP() << "no /dev/full here";
    // The write goes into Qt's buffer and succeeds; the system refuses it
    // only when the buffer goes out.
    QFile full(QStringLiteral("/dev/full"));
    ASSERT_TRUE(full.open(QIODevice::WriteOnly));
    EXPECT_EQ(full.write(QByteArray(100, 'x')), 100);
    full.close();
    QFile again(QStringLiteral("/dev/full"));
    ASSERT_TRUE(again.open(QIODevice::WriteOnly));
    EXPECT_FALSE(safefile::writeAll(again, QByteArray(100, 'x')));
    // Record writes in place go through the same check.
    EXPECT_FALSE(safefile::writeAt(QStringLiteral("/dev/full"), 0, QByteArray(128, 'r')));
    EXPECT_FALSE(
        recordfile::writeFileRecord(QStringLiteral("/dev/full"), 1, QStringLiteral("OUI")));
}

TEST(SafeFile, RecordsInPlaceReportAFullDisk)
{
    if (!fsfaults::WriteLimit::supported())
        GTEST_SKIP() << fsfaults::kNoWriteLimit;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TEMPKZ.TMP"));
    ASSERT_TRUE(recordfile::writeFileRecord(path, 6, QStringLiteral("OUI")));
    {
        fsfaults::WriteLimit disk(1024);
        ASSERT_TRUE(disk.active());
        // Record 6 lies inside the file; record 31 would grow it past the limit.
        EXPECT_TRUE(recordfile::writeFileRecord(path, 6, QStringLiteral("NON")));
        EXPECT_FALSE(recordfile::writeFileRecord(path, 31, QString()));
    }
    QString text;
    ASSERT_TRUE(recordfile::readFileRecord(path, 6, &text));
    EXPECT_EQ(text, QStringLiteral("NON"));
}

TEST(SafeFile, WritesAtAnOffsetFillingTheGapWithZeros)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    ASSERT_TRUE(safefile::writeAt(path, 4, "ab"));
    ASSERT_TRUE(safefile::writeAt(path, 1, "c"));
    EXPECT_EQ(readAllBytes(path), QByteArray("\0c\0\0ab", 6));
    EXPECT_FALSE(safefile::writeAt(dir.filePath(QStringLiteral("absent/f")), 0, "x"));
    QString error;
    EXPECT_FALSE(safefile::save(dir.filePath(QStringLiteral("absent/f")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}
