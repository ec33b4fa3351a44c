// The full redraw of ten wavelength curves (echGraph + retracage) and the
// start-up of the main window, at 100 % and at 200 %: the program runs itself
// once per zoom, Qt's scale factor being read when the application starts.
#include "bench/benchwindow.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

QString zoomLabel()
{
    return QString::number(qRound(qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble() * 100)) +
           QStringLiteral(" %");
}

void BM_RedrawTenCurves(benchmark::State &state)
{
    FeuilleP &w = bench::tenCurves();
    for (auto _ : state) {
        w.graph->echGraph();
        w.graph->retracage(0);
    }
    state.SetLabel(zoomLabel().toStdString());
}
BENCHMARK(BM_RedrawTenCurves)->Unit(benchmark::kMillisecond);

// What --screenshot does before writing its image: the window built, shown,
// its first trace completed and its image taken.
void BM_StartUp(benchmark::State &state)
{
    bench::app();
    static QTemporaryDir dir;
    qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
    graph::Graph::nonBlockingTrace = true;
    for (auto _ : state) {
        FeuilleP w;
        w.completeFirstTraceAtOnce = true;
        w.show();
        w.afterShow();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.grab());
    }
    state.SetLabel(zoomLabel().toStdString());
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

// The part of a --screenshot run that the start-up leaves aside: writing the
// window's image as PNG.
void BM_PngWrite(benchmark::State &state)
{
    FeuilleP &w = bench::tenCurves();
    w.show();
    QApplication::processEvents();
    const QPixmap shot = w.grab();
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        shot.save(&buffer, "PNG");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetLabel(zoomLabel().toStdString());
}
BENCHMARK(BM_PngWrite)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (!std::getenv("SPECTRO_BENCH_CHILD")) {
        // Once per zoom, each in its own process.
        int status = 0;
        for (const char *factor : {"1", "2"}) {
            setenv("QT_SCALE_FACTOR", factor, 1);
            setenv("SPECTRO_BENCH_CHILD", "1", 1);
            std::string cmd = "'" + std::string(argv[0]) + "'";
            for (int i = 1; i < argc; ++i)
                cmd += " '" + std::string(argv[i]) + "'";
            status |= std::system(cmd.c_str());
        }
        return status == 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
