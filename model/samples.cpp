#include "model/samples.h"

#include "common/numfmt.h"
#include "model/absorbance.h"

#include <QHash>

namespace spectro
{

QStringList extraSampleNames()
{
    QStringList names;
    for (const DyeInfo &d : kDyes)
        names << QString::fromUtf8(d.name);
    names << QStringLiteral("Mélange de solutions");
    return names;
}

QStringList extendedSolutionNames()
{
    return solutionNames() + extraSampleNames();
}

int numsolForListIndex(int listIndex)
{
    if (listIndex >= 0 && listIndex < kSolutionCount)
        return numsolForIndex(listIndex);
    if (listIndex >= kFirstDyeIndex && listIndex < kMixtureIndex)
        return kFirstDyeNumsol + listIndex - kFirstDyeIndex;
    if (listIndex == kMixtureIndex)
        return kMixtureNumsol;
    return 0;
}

QString shortName(int listIndex)
{
    QString n = extendedSolutionNames().value(listIndex);
    for (const QString &prefix : {QStringLiteral("Solution de "), QStringLiteral("Solution d'")}) {
        if (n.startsWith(prefix))
            return n.mid(prefix.size());
    }
    return n;
}

bool operator==(const MixtureComponent &a, const MixtureComponent &b)
{
    return a.sol == b.sol && a.conc == b.conc && a.ph == b.ph;
}

bool operator==(const Mixture &a, const Mixture &b)
{
    return a.parts == b.parts;
}

Mixture defaultMixture()
{
    Mixture m;
    m.parts.push_back({kFirstDyeIndex, QStringLiteral("0,000 02"), QStringLiteral("7,0")});
    m.parts.push_back({kFirstDyeIndex + 5, QStringLiteral("0,000 005"), QStringLiteral("7,0")});
    return m;
}

bool validMixture(const Mixture &m)
{
    if (m.parts.empty() || int(m.parts.size()) > kMaxComponents)
        return false;
    for (const MixtureComponent &p : m.parts) {
        if (p.sol < 0 || p.sol >= kMixtureIndex)
            return false;
    }
    return true;
}

Mixture checkMixture(const Mixture &m)
{
    Mixture out = m;
    for (MixtureComponent &p : out.parts) {
        p.conc = checkConcentration(p.conc);
        p.ph = checkPh(p.ph);
    }
    return out;
}

double totalConcentration(const Mixture &m)
{
    double t = 0;
    for (const MixtureComponent &p : m.parts)
        t += numfmt::readNumber(p.conc).value_or(0.0);
    return t;
}

void mixtureSpectrum(const Mixture &m, FloatSpectrum &out)
{
    const double total = totalConcentration(m);
    if (!validMixture(m) || !(total > 0))
        return;
    std::array<double, kSpectrumSize> sum{};
    for (const MixtureComponent &p : m.parts) {
        FloatSpectrum e{};
        chargespectreEtendu(numsolForListIndex(p.sol), p.ph, p.conc, Mixture{}, e);
        const double c = numfmt::readNumber(p.conc).value_or(0.0);
        for (int i = 0; i < kSpectrumSize; ++i)
            sum[i] += c * double(e[i]);
    }
    for (int i = 0; i < kSpectrumSize; ++i)
        out[i] = float(sum[i] / total);
}

QString mixtureText(const Mixture &m, double dilution)
{
    QStringList parts;
    for (const MixtureComponent &p : m.parts) {
        const double c = numfmt::readNumber(p.conc).value_or(0.0) * dilution;
        QString t = shortName(p.sol) + QStringLiteral(" : ") +
                    numfmt::format(numfmt::round3(c), QStringLiteral("0.0## ### ###")).trimmed() +
                    QStringLiteral(" mol·L-1");
        if (hasPh(numsolForListIndex(p.sol)))
            t += QStringLiteral(" (pH ") + p.ph + QStringLiteral(")");
        parts << t;
    }
    return parts.join(QStringLiteral(" ; "));
}

int sampleId(int numsol, const Mixture &m)
{
    if (numsol != kMixtureNumsol)
        return numsol;
    QString key;
    for (const MixtureComponent &p : m.parts)
        key += QString::number(p.sol) + p.conc + p.ph + QLatin1Char('|');
    return int(qHash(key, 0) & 0x7fffffff) | 0x100;
}

QString settingsText(const instrument::Settings &s)
{
    QString t = QStringLiteral("bande passante ") + QString::number(s.bandwidth) +
                QStringLiteral(" nm, lumière parasite ") +
                numfmt::format(numfmt::round3(100 * s.stray), QStringLiteral("0.0##")).trimmed() +
                QStringLiteral(" %, ");
    if (s.noise)
        t += QStringLiteral("bruit (graine ") + QString::number(s.seed) + QStringLiteral(")");
    else
        t += QStringLiteral("sans bruit");
    return t;
}

QStringList curveExtraLines(const CurveExtras &x, const QString &concText)
{
    QStringList lines;
    if (!x.mix.parts.empty()) {
        const double total = totalConcentration(x.mix);
        const double c = numfmt::readNumber(concText).value_or(total);
        lines << QStringLiteral("Mélange : ") + mixtureText(x.mix, total > 0 ? c / total : 1);
    }
    if (x.real.enabled)
        lines << QStringLiteral("Appareil réel : ") + settingsText(x.real) +
                     (x.blankValid ? QStringLiteral(", blanc fait")
                                   : QStringLiteral(", sans blanc"));
    return lines;
}

void chargespectreEtendu(int numsol, const QString &phText, const QString &concText,
                         const Mixture &mix, FloatSpectrum &spectre)
{
    if (numsol >= 1 && numsol <= kSolutionCount)
        chargespectre(numsol, phText, concText, spectre);
    else if (isDye(numsol))
        spectre = kDyeSpectra[numsol - kFirstDyeNumsol];
    else if (numsol == kMixtureNumsol)
        mixtureSpectrum(mix, spectre);
}

} // namespace spectro
