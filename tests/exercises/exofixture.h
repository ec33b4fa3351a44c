#pragma once
// The main window's fixture, with a folder of exercises and small exercise
// files written on demand.
#include "../mainwindow/fixture.h"
#include "common/rtf.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

// The records of a description file, from record 1.
struct Exo {
    QString statement = QStringLiteral("enonce.rtf");
    QString config;
    QString correction;
    QString correctionConfig;
    QString difficulty = QStringLiteral("1");
    QString notions[4];
    QString title = QStringLiteral("Titre");

    QStringList records() const
    {
        return {statement,  config,     correction, correctionConfig, difficulty, QString(),
                notions[0], notions[1], notions[2], notions[3],       title};
    }
};

class ExoTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        QDir(dir.path()).mkdir(QStringLiteral("exos"));
        exos = dir.filePath(QStringLiteral("exos"));
    }

    static void writeBytes(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        f.write(data);
    }
    static void writeRecords(const QString &path, const QStringList &records)
    {
        const std::optional<QByteArray> data = recordfile::buildFile(records);
        ASSERT_TRUE(data.has_value());
        writeBytes(path, *data);
    }
    static void writeRtf(const QString &path, const QString &text)
    {
        QTextDocument doc;
        doc.setPlainText(text);
        writeBytes(path, rtf::write(doc));
    }
    // A configuration: solution list position, wavelength, concentration.
    static void writeConfig(const QString &path, int solution, int lambda, const QString &conc)
    {
        const QString scroll = QStringLiteral(" %1").arg(lambda);
        writeRecords(path, {QStringLiteral("KELVANO"), QStringLiteral("1"), QStringLiteral("0"),
                            QStringLiteral("0"), QStringLiteral("7,0"), scroll,
                            QStringLiteral(" 2"), QString::number(solution), conc});
    }
    // An exercise in folder with its statement (and the files it names that
    // end in ".rtf" or ".C12" unless told otherwise).
    QString writeExo(const QString &folder, const QString &name, const Exo &e,
                     bool withFiles = true) const
    {
        const QString path = folder + QLatin1Char('/') + name;
        writeRecords(path, e.records());
        if (withFiles) {
            const QString statement = QStringLiteral("Énoncé ") + name;
            if (!e.statement.trimmed().isEmpty())
                writeRtf(folder + QLatin1Char('/') + e.statement, statement);
            if (!e.correction.trimmed().isEmpty())
                writeRtf(folder + QLatin1Char('/') + e.correction,
                         QStringLiteral("Correction ") + name);
            if (!e.config.trimmed().isEmpty())
                writeConfig(folder + QLatin1Char('/') + e.config, 3, 550, QStringLiteral("0,002"));
            if (!e.correctionConfig.trimmed().isEmpty())
                writeConfig(folder + QLatin1Char('/') + e.correctionConfig, 5, 610,
                            QStringLiteral("0,004"));
        }
        return path;
    }
    // Stores one curve, so that clearing the graph shows.
    void traceOneCurve()
    {
        w->graph->Command5_Click();
        w->graph->terminer();
        ASSERT_EQ(w->graph->store.dercourbe, 0);
    }
    QStringList messageTitles() const
    {
        QStringList titles;
        for (const msgbox::Call &c : calls)
            titles << c.title;
        return titles;
    }

    QString exos;
};
