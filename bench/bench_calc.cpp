// Evaluator speed on a mix of what pupils type: plain arithmetic, functions,
// nested groups, errors caught early and late.
#include "calculator/evaluator.h"

#include <benchmark/benchmark.h>

#include <iterator>

namespace
{

const char *const melange[] = {
    "2+3*4",
    "(2+3)*4",
    "1.5E-3*2",
    "2^3^2",
    "sin 30 + cos 60",
    "invSIN .5 * 2",
    "SQR (9+7) / log 1000",
    "((1+2)*(3+4)-(5-6))/7",
    "6.02E+23 * 1.6E-19",
    "ln 2 * exp 1",
    "(5)(6)",
    "5*/2",
    "1/0",
    "(2+3",
};

void BM_ExeMix(benchmark::State &state)
{
    std::size_t i = 0;
    for (auto _ : state) {
        const calc::Execution r =
            calc::executer(QString::fromLatin1(melange[i]), calc::Degres, false);
        benchmark::DoNotOptimize(r.resultat);
        i = (i + 1) % std::size(melange);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ExeMix);

void BM_LongSum(benchmark::State &state)
{
    QString e = QStringLiteral("1");
    for (int k = 1; k < state.range(0); ++k)
        e += QStringLiteral("+1");
    for (auto _ : state) {
        QString t = e;
        int code = 0;
        calc::calculer(t, code, calc::Degres);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_LongSum)->Arg(10)->Arg(100)->Arg(1000);

} // namespace

BENCHMARK_MAIN();
