// Filling the grid control with 1,000,000 rows × 8 text columns in batches of 500 (as fetched batches
// arrive), into the bare cell store and into a shown grid, and sorting the rows by a number column.
// Each benchmark reports the UTF-16 size of the texts, the store's own estimate, the growth of the
// resident set and the process's peak resident set.
#include "grid/CGridCellStore.h"
#include "grid/CGridCtrl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int Rows = 1'000'000;
constexpr int Columns = 8;
constexpr int BatchRows = 500;

void makePooledRow(int r, std::array<QString, Columns> &row);

double residentMB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// Row r: an id, a name, a date, an amount, a code, a city, a flag and a comment, ~9 characters each.
// Only the id and the amount are made per row; the other texts come from a pool made once, so the
// benchmark measures the grid rather than the formatting of test data.
void makeRow(int r, std::array<QString, Columns> &row)
{
    constexpr int Pool = 4999;
    static const std::vector<std::array<QString, Columns>> pool = [] {
        std::vector<std::array<QString, Columns>> rows(Pool);
        for (int i = 0; i < Pool; ++i)
            makePooledRow(i, rows[std::size_t(i)]);
        return rows;
    }();
    row = pool[std::size_t(r % Pool)];
    row[0] = QString::number(r + 1);
    row[3] = QString::number(double((r * 7919L) % 1000003) / 100.0, 'f', 2);
}

void makePooledRow(int r, std::array<QString, Columns> &row)
{
    static const char *const cities[] = {"DALLAS", "NEW YORK", "CHICAGO", "BOSTON"};
    row[0] = QString::number(r + 1);
    row[1] = QStringLiteral("NAME%1").arg(r % 9973);
    row[2] = QStringLiteral("%1.%2.20%3").arg(r % 28 + 1, 2, 10, QChar('0')).arg(r % 12 + 1, 2, 10, QChar('0')).arg(r % 30, 2, 10, QChar('0'));
    row[3] = QString::number(double((r * 7919L) % 1000003) / 100.0, 'f', 2);
    row[4] = QStringLiteral("C-%1").arg(r % 777);
    row[5] = QString::fromLatin1(cities[r % 4]);
    row[6] = r % 3 ? QStringLiteral("Y") : QString();
    row[7] = QStringLiteral("comment %1").arg(r % 100);
}

template <typename Sink> double fill(Sink &&append)
{
    std::array<QString, Columns> row;
    double textBytes = 0;
    for (int first = 0; first < Rows; first += BatchRows) {
        CGridRowBatch batch;
        batch.reserve(BatchRows);
        for (int r = first; r < first + BatchRows; ++r) {
            makeRow(r, row);
            for (const QString &t : row)
                textBytes += double(t.size()) * 2;
            batch.addRow(std::span<const QString>(row));
            if (row[6].isEmpty()) {
                CGridCellFormat yellow;
                yellow.background = QColor(255, 255, 0);
                batch.setCellFormat(6, yellow);
            }
        }
        append(std::move(batch));
    }
    return textBytes;
}

int compareNumbers(QStringView a, QStringView b)
{
    return b.toDouble() > a.toDouble() ? -1 : 1;
}

void report(benchmark::State &state, double textBytes, double before, std::size_t storeBytes)
{
    state.counters["textMB"] = textBytes / (1024.0 * 1024.0);
    state.counters["storeMB"] = double(storeBytes) / (1024.0 * 1024.0);
    state.counters["rssGrowthMB"] = residentMB() - before;
    state.counters["peakRssMB"] = peakMB();
}

void BM_FillStore(benchmark::State &state)
{
    for (auto _ : state) {
        const double before = residentMB();
        CGridCellStore store;
        store.setColumnCount(Columns);
        const double text = fill([&](CGridRowBatch &&b) { store.appendRows(std::move(b)); });
        state.PauseTiming();
        report(state, text, before, store.memoryUsage());
        state.ResumeTiming();
    }
}

void BM_FillGrid(benchmark::State &state)
{
    for (auto _ : state) {
        const double before = residentMB();
        CGridCtrl grid;
        grid.resize(800, 600);
        grid.setColumnCount(Columns);
        grid.setUniformRowHeight(20);
        grid.show();
        const double text = fill([&](CGridRowBatch &&b) { grid.appendRows(std::move(b)); });
        QApplication::processEvents();
        state.PauseTiming();
        report(state, text, before, grid.store().memoryUsage());
        state.ResumeTiming();
    }
}

// Sorting the filled grid by the amount column, ascending then descending.
void BM_SortGridByNumber(benchmark::State &state)
{
    CGridCtrl grid;
    grid.resize(800, 600);
    grid.setColumnCount(Columns);
    grid.setUniformRowHeight(20);
    grid.show();
    fill([&](CGridRowBatch &&b) { grid.appendRows(std::move(b)); });
    grid.setCurrentRow(Rows / 2);
    bool descending = false;
    for (auto _ : state) {
        grid.sortRows(3, compareNumbers, descending);
        QApplication::processEvents();
        descending = !descending;
    }
    state.counters["peakRssMB"] = peakMB();
}

// The same sort with each amount converted once (the keyed sort).
void BM_SortGridByNumberKey(benchmark::State &state)
{
    CGridCtrl grid;
    grid.resize(800, 600);
    grid.setColumnCount(Columns);
    grid.setUniformRowHeight(20);
    grid.show();
    fill([&](CGridRowBatch &&b) { grid.appendRows(std::move(b)); });
    grid.setCurrentRow(Rows / 2);
    bool descending = false;
    for (auto _ : state) {
        grid.sortRowsByKey(3, [](QStringView t) { return t.toDouble(); }, descending);
        QApplication::processEvents();
        descending = !descending;
    }
    state.counters["peakRssMB"] = peakMB();
}

// Making and packing the test rows alone, to set the fill figures against.
void BM_MakeRowsOnly(benchmark::State &state)
{
    for (auto _ : state) {
        std::size_t sink = 0;
        fill([&](CGridRowBatch &&b) { sink += std::size_t(b.rowCount()); });
        benchmark::DoNotOptimize(sink);
    }
}

} // namespace

BENCHMARK(BM_MakeRowsOnly)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillStore)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillGrid)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridByNumber)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortGridByNumberKey)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
