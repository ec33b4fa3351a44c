// The executable run as a shell would run it, without a screen.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome spectro(const QStringList &args, const QString &dataDir)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("SPECTRO_DATA_DIR"), dataDir);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dataDir);
    p.start(QStringLiteral(SPECTRO_EXECUTABLE), args);
    Outcome r;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "spectro " << args.join(QLatin1Char(' ')).toStdString()
                      << " did not end normally";
        return r;
    }
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

struct OptionCase {
    const char *name;
    QStringList args;
};

void PrintTo(const OptionCase &c, std::ostream *os)
{
    *os << c.name;
}

class UnknownOption : public ::testing::TestWithParam<OptionCase>
{
};

} // namespace

TEST_P(UnknownOption, IsAnErrorWithTheUsage)
{
    QTemporaryDir dir;
    const Outcome r = spectro(GetParam().args, dir.path());
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("option inconnue « ") + GetParam().args.first() +
                               QStringLiteral(" »")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Utilisation : spectro [OPTIONS] [FICHIER]")));
    EXPECT_TRUE(r.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Options, UnknownOption,
    ::testing::Values(OptionCase{"SingleDash", {QStringLiteral("-x")}},
                      OptionCase{"SingleDashBeforeAFile",
                                 {QStringLiteral("-x"), QStringLiteral("essai.C12")}},
                      OptionCase{"DoubleDash", {QStringLiteral("--inconnue")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CommandLine, HelpAndVersion)
{
    QTemporaryDir dir;
    const Outcome help = spectro({QStringLiteral("--help")}, dir.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Utilisation : spectro")));
    const Outcome version = spectro({QStringLiteral("--version")}, dir.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("Spectrophotométrie (spectro) version ")));
}

// A screenshot run prints its message boxes instead of showing them.
TEST(CommandLine, AMissingFileIsSaidToBeMissing)
{
    QTemporaryDir tmp;
    const QDir dir(QFileInfo(tmp.path()).canonicalFilePath());
    // Names outside the ANSI code page too: Windows gives them to argv as "?".
    for (const QString &name : {QStringLiteral("absent.C12"), QStringLiteral("absent.E35"),
                                QStringLiteral("élève λ 𝜀.C12")}) {
        const QString image = dir.filePath(QStringLiteral("capture.png"));
        QFile::remove(image);
        const Outcome r =
            spectro({QStringLiteral("--screenshot"), image, name}, dir.absolutePath());
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("spectro : Fichier absent : Le fichier ") +
                                   QDir::toNativeSeparators(dir.filePath(name)) +
                                   QStringLiteral(" est introuvable")))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("Lecture impossible"))) << r.err.toStdString();
        EXPECT_TRUE(QFileInfo(image).size() > 0);
    }
    // After "--", a name that starts with a dash is a file.
    const Outcome r =
        spectro({QStringLiteral("--screenshot"), dir.filePath(QStringLiteral("c.png")),
                 QStringLiteral("--"), QStringLiteral("-x.C12")},
                dir.absolutePath());
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Le fichier ") +
                               QDir::toNativeSeparators(dir.filePath(QStringLiteral("-x.C12"))) +
                               QStringLiteral(" est introuvable")))
        << r.err.toStdString();
}
