// libFuzzer entry point: arbitrary bytes, read as UTF-8 and as Latin-1, must
// always end in a result or one of the three error codes.
#include "calculator/evaluator.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{

void evaluer(const QString &texte, int angle)
{
    QString e = texte;
    int code = -1;
    const int passes = calc::calculer(e, code, angle);
    if (code < 0 || code > 3 || passes > 100)
        std::abort();
    const calc::Execution x = calc::executer(texte, angle, angle == calc::Radians);
    if (x.codeerreur != code || x.resultat.isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *octets = reinterpret_cast<const char *>(data);
    const auto n = qsizetype(size);
    const int angle = size % 2 == 0 ? calc::Degres : calc::Radians;
    evaluer(QString::fromUtf8(octets, n), angle);
    evaluer(QString::fromLatin1(octets, n), angle);
    return 0;
}
