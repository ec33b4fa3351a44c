// The calibration exercises shipped in data/: their records of the unknown
// and the standards match their sources, the wavelength is the maximum of the
// spectrum, and the line, the reading of the unknown and the answers quoted by
// the correction are the ones the simulator and the model give.
#include "calibration/model.h"
#include "common/numfmt.h"
#include "config/recordfile.h"
#include "model/absorbance.h"
#include "model/catalogue.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>

using namespace calib;

namespace
{

const QDir kData(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));

std::vector<QJsonObject> calibrationSources()
{
    std::vector<QJsonObject> out;
    const QDir src(kData.filePath(QStringLiteral("exercises/src")));
    for (const QString &name : src.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile f(src.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
        if (o.contains(u"calibration"))
            out.push_back(o);
    }
    return out;
}

TEST(CalibrationExercises, AtLeastPermanganateAndCopperSulfate)
{
    QSet<int> solutions;
    for (const QJsonObject &o : calibrationSources())
        solutions.insert(o[u"statement"].toObject()[u"config"].toObject()[u"solution"].toInt());
    EXPECT_TRUE(solutions.contains(8));  // permanganate de potassium
    EXPECT_TRUE(solutions.contains(10)); // sulfate de cuivre
}

TEST(CalibrationExercises, UnknownAndAnswersRecomputed)
{
    const std::vector<QJsonObject> sources = calibrationSources();
    ASSERT_GE(sources.size(), 2u);
    for (const QJsonObject &o : sources) {
        const QString base = o[u"file"].toString();
        SCOPED_TRACE(base.toStdString());
        const QJsonObject cal = o[u"calibration"].toObject();
        const QJsonObject expected = cal[u"expected"].toObject();

        // The records beside the description, as the program reads them.
        QFile file(kData.filePath(base + kSideExtension));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        EXPECT_EQ(data.size(), kRecordCount * recordfile::kRecordSize);
        QStringList recs;
        for (int n = 1; n <= kRecordCount; ++n) {
            QString t;
            ASSERT_EQ(recordfile::readRecord(data, n, &t), recordfile::ReadStatus::Ok);
            recs << t;
        }
        QStringList standardsText;
        for (const QJsonValue &v : cal[u"standards"].toArray())
            standardsText << v.toString();
        EXPECT_EQ(recs,
                  (QStringList{kTag, cal[u"unknown"].toString(),
                               standardsText.join(QLatin1Char(';')), cal[u"model"].toString(),
                               cal[u"stock"].toString(), QString::number(cal[u"limit"].toInt())}));
        bool bad = true;
        const std::optional<Exercise> e = parseExercise(recs, &bad);
        ASSERT_TRUE(e.has_value());
        EXPECT_FALSE(bad);
        // The unknown lies inside the graph's range and the standards' range.
        const double cmax = std::pow(10.0, e->limit - 6);
        EXPECT_LE(e->unknown, cmax);
        EXPECT_GE(e->unknown, *std::min_element(e->standards.begin(), e->standards.end()));
        EXPECT_LE(e->unknown, *std::max_element(e->standards.begin(), e->standards.end()));
        // Every standard can be made from the stock with the usual glassware.
        for (double c : e->standards) {
            bool made = false;
            for (double p : kPipettes)
                for (double f : kFlasks)
                    if (const auto d = dilute(e->stock, p, f))
                        made = made || std::fabs(d->c - c) < c * 1e-9;
            EXPECT_TRUE(made) << c;
        }

        // The instrument set as the statement's configuration sets it.
        const QJsonObject cfg = o[u"statement"].toObject()[u"config"].toObject();
        const int sol = cfg[u"solution"].toInt();
        const int lambda = cfg[u"wavelength"].toInt();
        const int cuve = cfg[u"cuvette"].toInt();
        spectro::FloatSpectrum sp{};
        spectro::chargespectre(spectro::numsolForIndex(sol), cfg[u"ph"].toString(),
                               cfg[u"concentration"].toString(), sp);
        const int top = int(std::max_element(sp.begin(), sp.end()) - sp.begin()) + 400;
        EXPECT_EQ(lambda, top) << "the wavelength of the maximum";

        QVector<Point> points;
        for (const QString &t : standardsText) {
            const auto r = spectro::computeAbsorbance(sp, t, lambda, cuve);
            ASSERT_TRUE(r.has_value());
            ASSERT_NE(r->text, QStringLiteral("----")) << t.toStdString();
            Point p;
            p.c = *numfmt::readNumber(t);
            p.absorbance = r->absorbance;
            p.lambda = lambda;
            p.cuve = cuve;
            p.sol = sol;
            points.append(p);
        }
        const Fit f = fit(points, e->model);
        ASSERT_TRUE(f.ok) << f.why.toStdString();
        EXPECT_EQ(sig3(f.k), expected[u"k"].toString());
        // Beer-Lambert: the slope is ε·l from the tables, to the readings' rounding.
        const double el = double(sp[lambda - 400]) * 1000 * spectro::thickness(cuve);
        EXPECT_NEAR(f.k, el, el * 5e-3);
        if (expected.contains(u"epsilon")) {
            EXPECT_EQ(sig3(*epsilon(f, points)), expected[u"epsilon"].toString());
        }

        // The unknown, read as the instrument reads it and then on the line.
        const auto ru = spectro::computeAbsorbance(sp, cal[u"unknown"].toString(), lambda, cuve);
        ASSERT_TRUE(ru.has_value());
        for (const QJsonValue &a : o[u"answers"].toArray()) {
            if (a[u"id"].toString() == expected[u"unknown"].toString()) {
                EXPECT_EQ(a[u"readout"].toString(), ru->text);
            }
        }
        const std::optional<double> c = readConcentration(f, ru->absorbance);
        ASSERT_TRUE(c.has_value());
        EXPECT_EQ(sig3(*c), expected[u"c"].toString());
        EXPECT_NEAR(*c, e->unknown, e->unknown * 1e-2);

        // The correction quotes those values.
        QStringList lines;
        for (const QJsonValue &v : o[u"correction"].toObject()[u"text"].toArray())
            lines << v.toString();
        const QString text = lines.join(QLatin1Char(' '));
        for (const QJsonValue &t : expected[u"texts"].toArray())
            EXPECT_TRUE(text.contains(t.toString())) << t.toString().toStdString();
    }
}

} // namespace
