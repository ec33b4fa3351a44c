// The mixture exercise: its readings and its answers recomputed from the
// simulator's own tables, then looked for in the shipped statement and correction.
#include "common/numfmt.h"
#include "common/rtf.h"
#include "model/absorbance.h"
#include "model/samples.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <cmath>

using namespace spectro;

namespace
{

const QDir kData(QStringLiteral(SPECTRO_SOURCE_DATA_DIR));

QString plainText(const QString &name)
{
    QFile f(kData.filePath(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QTextDocument doc;
    if (!rtf::read(f.readAll(), &doc))
        return {};
    return doc.toPlainText();
}

// The readout of a sample, as the simulator shows it.
Reading reading(int listIndex, const QString &conc, int lambda, const Mixture &mix = {})
{
    FloatSpectrum e{};
    chargespectreEtendu(numsolForListIndex(listIndex), QStringLiteral("7,0"), conc, mix, e);
    return *computeAbsorbance(e, conc, lambda, 2);
}

// "5,01 × 10-6": three significant digits, as the texts write them.
QString scientific(double v)
{
    const int exp = int(std::floor(std::log10(std::fabs(v))));
    const double m = numfmt::round3(v / std::pow(10.0, exp));
    return numfmt::format(m, QStringLiteral("0.00")) + QStringLiteral(" × 10") +
           QString::number(exp);
}

} // namespace

TEST(DosageMelange, CorrectionRecomputed)
{
    const int tartrazine = kFirstDyeIndex;       // E102
    const int bleuBrillant = kFirstDyeIndex + 5; // E133
    const QString pure = QStringLiteral("0,000 01");
    const Mixture sirop = defaultMixture(); // tartrazine 2,0e-5, E133 5,0e-6
    ASSERT_EQ(sirop.parts[0].sol, tartrazine);
    ASSERT_EQ(sirop.parts[1].sol, bleuBrillant);
    const QString total = QStringLiteral("0,000 025");
    const QString statement = plainText(QStringLiteral("dosage_melange.rtf"));
    const QString correction = plainText(QStringLiteral("dosage_melange_corrige.rtf"));
    ASSERT_FALSE(statement.isEmpty());
    ASSERT_FALSE(correction.isEmpty());

    // The pupil's measurements of the pure dyes and of the syrup.
    const Reading t426 = reading(tartrazine, pure, 426);
    const Reading t630 = reading(tartrazine, pure, 630);
    const Reading b426 = reading(bleuBrillant, pure, 426);
    const Reading b630 = reading(bleuBrillant, pure, 630);
    const Reading m426 = reading(kMixtureIndex, total, 426, sirop);
    const Reading m630 = reading(kMixtureIndex, total, 630, sirop);
    EXPECT_EQ(t426.text, QStringLiteral("A = 0,283"));
    EXPECT_EQ(t630.text, QStringLiteral("A = 0,0"));
    EXPECT_EQ(b426.text, QStringLiteral("A = 0,052"));
    EXPECT_EQ(b630.text, QStringLiteral("A = 1,29"));
    for (const Reading *r : {&t426, &t630, &b426, &b630})
        EXPECT_TRUE(correction.contains(r->text)) << r->text.toStdString();
    for (const Reading *r : {&m426, &m630}) {
        EXPECT_TRUE(statement.contains(r->text)) << r->text.toStdString();
        EXPECT_TRUE(correction.contains(r->text.mid(4))) << r->text.toStdString();
    }

    // Coefficients from the readings as shown, then the 2 × 2 system by Cramer's rule.
    const auto shown = [](const Reading &r) { return *numfmt::readNumber(r.text.mid(4)); };
    const double c = 1e-5;
    const double e1a = shown(t426) / c, e1b = shown(t630) / c;
    const double e2a = shown(b426) / c, e2b = shown(b630) / c;
    const double aa = shown(m426), ab = shown(m630);
    const double det = e1a * e2b - e2a * e1b;
    const double c1 = (aa * e2b - e2a * ab) / det;
    const double c2 = (e1a * ab - aa * e1b) / det;
    for (double eps : {e1a, e2a, e2b})
        EXPECT_TRUE(correction.contains(scientific(eps))) << scientific(eps).toStdString();
    EXPECT_EQ(scientific(c1), QStringLiteral("2,00 × 10-5"));
    EXPECT_EQ(scientific(c2), QStringLiteral("5,01 × 10-6"));
    EXPECT_TRUE(correction.contains(scientific(c1) + QStringLiteral(" mol·L-1")));
    EXPECT_TRUE(correction.contains(scientific(c2) + QStringLiteral(" mol·L-1")));
    // The answers give back the syrup's composition to three digits.
    EXPECT_NEAR(c1, 2.0e-5, 0.01e-5);
    EXPECT_NEAR(c2, 5.0e-6, 0.02e-6);
}
