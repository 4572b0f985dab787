// Import of a 17-point 3D .cube (4913 rows) and of a 4096-row 1D .cube into
// a LUT memory image, and OpenColorIO building a processor from the same
// files with its caches cleared (so it reads and parses them every time).
#include <cstdio>
#include <string>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "clutif.h"

#ifdef TOVIK_HAVE_OCIO
#include <OpenColorIO/OpenColorIO.h>
namespace OCIO = OCIO_NAMESPACE;
#endif

namespace {

void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

std::string Fraction(int code)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.6f", code / 4095.0);
    return buf;
}

// A smooth, non-trivial table, so neither reader gets an identity shortcut.
int Curve(int i, int n)
{
    const double x = double(i) / (n - 1);
    return int(4095.0 * x * x * (3.0 - 2.0 * x) + 0.5);
}

struct Files
{
    QTemporaryDir dir;
    QString cube17;
    QString table4096;
    QString image;

    Files()
    {
        qInstallMessageHandler(QuietMessages);
        cube17 = dir.path() + QStringLiteral("/grade.cube");
        table4096 = dir.path() + QStringLiteral("/curve.cube");
        image = dir.path() + QStringLiteral("/image.mem");
        std::string text = "TITLE \"bench\"\nLUT_3D_SIZE 17\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n";
        for (int b = 0; b < 17; ++b) {
            for (int g = 0; g < 17; ++g) {
                for (int r = 0; r < 17; ++r)
                    text += Fraction(Curve(r, 17)) + " " + Fraction(Curve(g, 17)) + " " + Fraction(Curve(b, 17)) + "\n";
            }
        }
        Write(cube17, text);
        text = "TITLE \"bench 1D\"\nLUT_1D_SIZE 4096\nDOMAIN_MIN 0.0 0.0 0.0\nDOMAIN_MAX 1.0 1.0 1.0\n";
        for (int i = 0; i < 4096; ++i) {
            const std::string v = Fraction(Curve(i, 4096));
            text += v + " " + v + " " + v + "\n";
        }
        Write(table4096, text);
    }

    static void Write(const QString& path, const std::string& text)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), qint64(text.size())) != qint64(text.size()))
            std::fprintf(stderr, "lut_bench: cannot write %s\n", qPrintable(path));
    }
};

Files& TheFiles()
{
    static Files files;
    return files;
}

void Import(benchmark::State& state, const QString& path, int sector)
{
    Files& files = TheFiles();
    for (auto _ : state) {
        CLutIF lut;
        lut.imagePath = files.image;
        if (!lut.ImportFile({path}, sector)) {
            state.SkipWithError("import failed");
            return;
        }
    }
}

void BM_ImportCube17(benchmark::State& state)
{
    Import(state, TheFiles().cube17, 0);
}
BENCHMARK(BM_ImportCube17)->Unit(benchmark::kMicrosecond);

void BM_Import1D4096(benchmark::State& state)
{
    Import(state, TheFiles().table4096, 1);
}
BENCHMARK(BM_Import1D4096)->Unit(benchmark::kMicrosecond);

#ifdef TOVIK_HAVE_OCIO
void OcioRead(benchmark::State& state, const QString& path)
{
    // Without the config's processor cache and with the global caches
    // cleared, every call reads and parses the file again.
    const OCIO::ConfigRcPtr config = OCIO::Config::CreateRaw()->createEditableCopy();
    config->setProcessorCacheFlags(OCIO::PROCESSOR_CACHE_OFF);
    const OCIO::FileTransformRcPtr transform = OCIO::FileTransform::Create();
    const QByteArray name = QFile::encodeName(path);
    transform->setSrc(name.constData());
    transform->setInterpolation(OCIO::INTERP_LINEAR);
    for (auto _ : state) {
        OCIO::ClearAllCaches();
        OCIO::ConstProcessorRcPtr processor = config->getProcessor(transform);
        benchmark::DoNotOptimize(processor);
    }
}

void BM_OcioCube17(benchmark::State& state)
{
    OcioRead(state, TheFiles().cube17);
}
BENCHMARK(BM_OcioCube17)->Unit(benchmark::kMicrosecond);

void BM_Ocio1D4096(benchmark::State& state)
{
    OcioRead(state, TheFiles().table4096);
}
BENCHMARK(BM_Ocio1D4096)->Unit(benchmark::kMicrosecond);
#endif

} // namespace

BENCHMARK_MAIN();
