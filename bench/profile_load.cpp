// Loading the two profile files that grow without bound: a tvl.cfg whose order map has N entries
// (read by the bar layout) and an element folder whose item.cfg holds one variable with N history
// values (read by the element), for N = 10,000 and 100,000. The last line, "ratio", is the 100,000
// time over ten times the 10,000 time: about 1 when loading grows linearly, about 10 when it grows
// with the square. Times are CPU times.
#include "elements/CBarLayout.h"
#include "elements/CVexlorElement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <map>

namespace {

std::map<std::pair<int, long>, double> g_millis; // (benchmark, N) → CPU milliseconds per load

// The process's CPU time in seconds: the loads run on this one thread, and other work on a shared
// machine does not count.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        std::abort();
}

QByteArray layoutFile(long entries)
{
    QByteArray bytes = "[GENERAL]\r\nLeft=10\r\nTop=10\r\nRight=400\r\nBottom=500\r\n[EL_MAP]\r\n";
    for (long i = 0; i < entries; ++i)
        bytes += "El_" + QByteArray::number(i) + "=" + QByteArray::number(i + 1) + "\r\nMap_" +
                 QByteArray::number(i) + "=" + QByteArray::number(i + 1) + "\r\n";
    return bytes;
}

QByteArray elementConfig(long values)
{
    QByteArray bytes = "[CONNECTION]\r\nDatabase=SAMPLE\r\nUser=SCOTT\r\n[OTHERS]\r\n"
                       "LastStart=07.12.2026 18:30:00\r\n"
                       "[VAR_0]\r\nVarType=0\r\nName=:N\r\nType=String\r\nValue=1\r\n";
    for (long i = 0; i < values; ++i)
        bytes += "LastValue_" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\r\n";
    return bytes;
}

void record(benchmark::State &state, int which, double seconds)
{
    g_millis[{which, state.range(0)}] = seconds * 1000.0 / double(state.iterations());
}

void BM_LoadLayout(benchmark::State &state)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("tvl.cfg"), layoutFile(state.range(0)));
    double total = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        CBarLayout layout;
        CElementList none;
        layout.readBarRect(dir.path());
        layout.readOrderMap(dir.path(), none);
        total += cpuSeconds() - start;
        if (layout.orderMap().size() != size_t(state.range(0)))
            state.SkipWithError("the map was not read whole");
    }
    record(state, 0, total);
}

void BM_LoadElement(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("1");
    writeFile(dir.filePath("1/item.cfg"), elementConfig(state.range(0)));
    writeFile(dir.filePath("1/query.sql"), "SELECT * FROM emp WHERE empno = :n");
    double total = 0;
    for (auto _ : state) {
        const double start = cpuSeconds();
        CVexlorElement element;
        element.load(dir.filePath("1"));
        total += cpuSeconds() - start;
        if (element.parsedVariables().size() != 1 ||
            element.parsedVariables()[0].history.size() != 20)
            state.SkipWithError("the history was not read");
    }
    record(state, 1, total);
}

} // namespace

BENCHMARK(BM_LoadLayout)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadElement)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    double worst = 0;
    for (int which : {0, 1}) {
        const double small = g_millis[{which, 10000}];
        const double large = g_millis[{which, 100000}];
        if (small > 0)
            worst = std::max(worst, large / (10.0 * small));
        std::printf("%s with 100,000 entries: %.1f ms CPU per load\n",
                    which == 0 ? "tvl.cfg" : "item.cfg", large);
    }
    std::printf("ratio: %.2f\n", worst);
    return 0;
}
