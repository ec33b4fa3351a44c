#include "model/catalogue.h"

#include "common/numfmt.h"

#include <cmath>

namespace spectro
{

const std::array<SolutionInfo, kSolutionCount> kCatalogue = {{
    {"Solution de bleu de bromothymol", 12, 7.0},
    {"Solution de chlorure de chrome(III)", 11, 0},
    {"Solution de chlorure de cobalt", 10, 0},
    {"Solution de chlorure de nickel", 4, 0},
    {"Solution de chlorure de tétraminenickel(II)", 8, 0},
    {"Solution de chlorure de thiocyanatofer(III)", 6, 0},
    {"Solution de chlorure de triéthylènediaminecobalt(III)", 9, 0},
    {"Solution de diiode", 2, 0},
    {"Solution de permanganate de potassium", 1, 0},
    {"Solution de phénolphtaléine", 13, 9.6},
    {"Solution de sulfate de cuivre", 3, 0},
    {"Solution de sulfate de tétraminecuivre(II)", 5, 0},
    {"Solution d'hélianthine (orange de méthyle)", 14, 3.7},
    {"Solution d'hexacyanoferrate(III) de potassium", 7, 0},
}};

QStringList solutionNames()
{
    QStringList names;
    for (const SolutionInfo &s : kCatalogue)
        names << QString::fromUtf8(s.name);
    return names;
}

int numsolForIndex(int listIndex)
{
    if (listIndex < 0 || listIndex >= kSolutionCount)
        return 0;
    return kCatalogue[listIndex].numsol;
}

void chargespectre(int numsol, const QString &phText, const QString &concText,
                   FloatSpectrum &spectre)
{
    if (numsol < 1 || numsol > 14)
        return;
    if (numsol <= 11) {
        spectre = kFixedSpectra[numsol];
        return;
    }
    const std::optional<double> ph = numfmt::readNumber(phText);
    const std::optional<double> conc = numfmt::readNumber(concText);
    if (!ph || !conc || *conc == 0.0)
        return;
    const float p = float(*ph); // boxes read as single precision
    const float c = float(*conc);
    double pKa = 0;
    for (const SolutionInfo &s : kCatalogue) {
        if (s.numsol == numsol)
            pKa = s.pKa;
    }
    const double r = std::pow(10.0, double(p) - pKa);
    const float cacide = float(double(c) / (1.0 + r));
    const float cbase = float(double(c) - double(cacide));
    const DoubleSpectrum *acid = nullptr;
    const DoubleSpectrum *base = nullptr;
    switch (numsol) {
    case 12:
        acid = &kBromothymolAcid;
        base = &kBromothymolBase;
        break;
    case 13:
        base = &kPhenolphthaleinBase; // the acid form is colourless
        break;
    default:
        acid = &kHelianthineAcid;
        base = &kHelianthineBase;
        break;
    }
    for (int i = 0; i < kSpectrumSize; ++i) {
        const double a = acid ? (*acid)[i] * double(cacide) : 0.0;
        spectre[i] = float((a + (*base)[i] * double(cbase)) / double(c));
    }
}

} // namespace spectro
