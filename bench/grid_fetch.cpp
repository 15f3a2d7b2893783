// Fetching 1,000,000 rows × 8 columns (four numbers, two strings, two dates) from an embedded
// database into the result grid with "fetch all" (batches of 500, shown in an offscreen window),
// against the layer-only fetch of the same rows that reads every value but keeps nothing; then
// sorting the grid's rows by a number column both ways. Reports the time, the growth of the
// resident set, the process's peak and the UTF-16 size of the texts in the grid. The last line
// prints "ratio: X", the grid fetch's time over the layer-only fetch's.
#include "db/column.h"
#include "db/connection.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "engine/CEngineProvider.h"
#include "execution/CDBGridCtrl.h"
#include "settings/Options.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

constexpr int Rows = 1'000'000;
constexpr int BatchRows = 500;
constexpr const char *Query =
    "SELECT ID, NAME, AMOUNT, CREATED, QTY, CITY, RATE, SHIPPED FROM ORDERS_BENCH";
constexpr int AmountColumn = 2;

double g_layerSeconds = 0;           // best layer-only time
double g_gridSeconds = 0;            // best grid time
double g_textMB = 0;                 // UTF-16 size of the grid's texts
double g_growthMB = 0;               // resident set growth of the grid fetch
std::unique_ptr<CDBGridCtrl> g_grid; // the filled grid, kept for the sort
std::size_t g_sink = 0;              // keeps the reads from being optimised away

double residentMB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
    }
    return 0;
}

bool createDatabase(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    const char *sql =
        "CREATE TABLE ORDERS_BENCH (ID NUMBER(10), NAME VARCHAR2(40), AMOUNT NUMBER(10,2), "
        "CREATED DATE, QTY NUMBER(6), CITY VARCHAR2(30), RATE NUMBER, SHIPPED DATE);"
        "WITH RECURSIVE R(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM R WHERE X < 1000000) "
        "INSERT INTO ORDERS_BENCH SELECT X, 'Customer name ' || (X % 9973), "
        "round(((X * 7919) % 1000003) / 100.0, 2), "
        "datetime('2020-01-01', '+' || (X % 1500) || ' days', '+' || (X % 86400) || ' seconds'), "
        "X % 1000, CASE WHEN X % 10 = 0 THEN NULL ELSE 'City ' || (X % 97) END, (X % 10000) / 7.0, "
        "datetime('2021-06-01', '+' || (X % 900) || ' days') FROM R;";
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void layerOnly(benchmark::State &state)
{
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        int rows = 0;
        try {
            db::connection conn;
            conn.open(db::open_parameters::from_unicode("BENCH", "SCOTT", "TIGER", 0));
            db::set_rows_per_fetch(BatchRows);
            {
                db::statement stmt(conn, Query);
                std::unique_ptr<db::resultset> rs = stmt.execute_query();
                std::vector<db::column *> columns;
                for (db::column *c = rs->first_column(); c != nullptr; c = rs->column_after(c))
                    columns.push_back(c);
                while (rs->has_row()) {
                    for (db::column *c : columns) {
                        if (c->is_null())
                            continue;
                        switch (c->kind()) {
                        case db::kind_number:
                            g_sink += c->number_text().size();
                            break;
                        case db::kind_string:
                            g_sink += c->text().size();
                            break;
                        default:
                            g_sink += c->date().day;
                            break;
                        }
                    }
                    ++rows;
                    rs->next();
                }
            }
            conn.close();
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            break;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (rows != Rows)
            state.SkipWithError("the layer read the wrong number of rows");
        if (g_layerSeconds == 0 || seconds < g_layerSeconds)
            g_layerSeconds = seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(Rows), benchmark::Counter::kIsIterationInvariantRate);
}

void gridFetchAll(benchmark::State &state)
{
    for (auto _ : state) {
        g_grid.reset();
        const double before = residentMB();
        const auto start = std::chrono::steady_clock::now();
        auto grid = std::make_unique<CDBGridCtrl>();
        grid->resize(1000, 600);
        grid->show();
        CSQLConnection c;
        c.setUser("SCOTT");
        c.setPassword("TIGER");
        c.setDatabase("BENCH");
        grid->setConnectionRecord(c);
        grid->setSqlText(Query);
        if (!grid->connectDatabase() || !grid->openQuery()) {
            state.SkipWithError("the grid could not open the query");
            break;
        }
        grid->fetchAll();
        QCoreApplication::processEvents();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // Later iterations reuse the memory the first one freed; the first growth is the real one.
        g_growthMB = std::max(g_growthMB, residentMB() - before);
        if (grid->rowCount() != Rows || !grid->endOfData())
            state.SkipWithError("the grid fetched the wrong number of rows");
        if (g_gridSeconds == 0 || seconds < g_gridSeconds)
            g_gridSeconds = seconds;
        state.SetIterationTime(seconds);

        state.PauseTiming();
        double bytes = 0;
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int col = 0; col < grid->columnCount(); ++col)
                bytes += double(grid->store().textView(r, col).size()) * 2;
        g_textMB = bytes / (1024.0 * 1024.0);
        g_grid = std::move(grid);
        state.ResumeTiming();
    }
    state.counters["rows/s"] =
        benchmark::Counter(double(Rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["textMB"] = g_textMB;
    state.counters["rssGrowthMB"] = g_growthMB;
    state.counters["peakRssMB"] = peakMB();
}

// Each iteration is one press on the AMOUNT heading: ascending first, then descending.
void gridSortByNumber(benchmark::State &state)
{
    if (!g_grid) {
        state.SkipWithError("no filled grid");
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        g_grid->sortByColumn(AmountColumn);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["peakRssMB"] = peakMB();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    if (!createDatabase(dir.filePath("BENCH.db"))) {
        std::fprintf(stderr, "cannot build the benchmark database\n");
        return 1;
    }
    qputenv("TARVOLO_DATABASES", dir.path().toUtf8());
    engine::registerEngineProvider();
    options::ReadBufferSize = BatchRows;

    benchmark::RegisterBenchmark("layer_only_fetch_batches_of_500", layerOnly)
        ->UseManualTime()
        ->Iterations(2)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("grid_fetch_all_batches_of_500", gridFetchAll)
        ->UseManualTime()
        ->Iterations(2)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("grid_sort_by_number_column", gridSortByNumber)
        ->UseManualTime()
        ->Iterations(2)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_grid.reset();

    if (g_layerSeconds <= 0 || g_gridSeconds <= 0)
        return 1;
    std::printf("layer only: %.0f rows/s\n", Rows / g_layerSeconds);
    std::printf("into the grid: %.0f rows/s\n", Rows / g_gridSeconds);
    std::printf("grid texts: %.1f MB UTF-16, resident growth %.1f MB (%.2f x), peak %.1f MB\n",
                g_textMB, g_growthMB, g_growthMB / g_textMB, peakMB());
    std::printf("(checksum %zu)\n", g_sink);
    std::printf("ratio: %.2f\n", g_gridSeconds / g_layerSeconds);
    return 0;
}
