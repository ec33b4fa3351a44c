// libFuzzer entry point: the texts of the concentration and pH boxes. Any
// text, read as UTF-8 and as Latin-1, checks to a text that reads back as a
// number in the box's range, and that checks to itself.
#include "common/numfmt.h"
#include "model/absorbance.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

void check(bool ok, const char *rule, const QString &in, const QString &out)
{
    if (!ok) {
        std::fprintf(stderr, "broken rule: %s: \"%s\" -> \"%s\"\n", rule, qPrintable(in),
                     qPrintable(out));
        std::abort();
    }
}

// Only what the program's masks write: digits, one comma, group spaces.
bool plainNumber(const QString &t)
{
    int commas = 0;
    for (QChar c : t) {
        if (c == QLatin1Char(','))
            ++commas;
        else if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char(' '))
            return false;
    }
    return commas <= 1 && !t.isEmpty() && !t.startsWith(QLatin1Char(' ')) &&
           !t.endsWith(QLatin1Char(' '));
}

void boxes(const QString &text)
{
    if (const std::optional<double> v = numfmt::readNumber(text))
        check(std::isfinite(*v), "a number read is finite", text, QString());

    const QString conc = spectro::checkConcentration(text);
    const std::optional<double> c = numfmt::readNumber(conc);
    check(c.has_value(), "the concentration reads as a number", text, conc);
    check(*c >= 1e-6 * (1 - 1e-6) && *c <= 0.1 * (1 + 1e-6), "conc. 1e-6..0,1", text, conc);
    check(plainNumber(conc), "the concentration is written with the mask", text, conc);
    check(spectro::checkConcentration(conc) == conc, "a checked concentration stays", text, conc);

    const QString ph = spectro::checkPh(text);
    const std::optional<double> p = numfmt::readNumber(ph);
    check(p.has_value(), "the pH reads as a number", text, ph);
    check(*p >= 1 && *p <= 12, "pH within 1..12", text, ph);
    check(plainNumber(ph), "the pH is written with the mask", text, ph);
    check(spectro::checkPh(ph) == ph, "a checked pH stays", text, ph);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *octets = reinterpret_cast<const char *>(data);
    boxes(QString::fromUtf8(octets, qsizetype(size)));
    boxes(QString::fromLatin1(octets, qsizetype(size)));
    return 0;
}
