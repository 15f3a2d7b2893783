// Fetching 1,000,000 rows × 8 columns (four numbers, two strings, two dates) from the embedded engine
// through the database layer in batches of 500, reading every value as the result grid does (number
// text, UTF-16 text, date), against a plain sqlite3_step loop that reads the same values as text.
// Both run in one process on one database file. Each side is timed by the process's CPU time (the
// machine may be shared), best of three; the last line prints the layer's time over the plain loop's
// as "ratio: X".
#include "db/column.h"
#include "db/connection.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "engine/CEngineProvider.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <ctime>
#include <cstdio>

namespace {

constexpr int Rows = 1'000'000;
constexpr int BatchRows = 500;
constexpr const char *Query =
    "SELECT ID, NAME, AMOUNT, CREATED, QTY, CITY, RATE, SHIPPED FROM ORDERS_BENCH";

QString g_path;           // the database file
double g_plainSeconds = 0; // best time of the plain loop
double g_layerSeconds = 0; // best time through the layer
std::size_t g_sink = 0;    // keeps the reads from being optimised away

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
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
        "X % 1000, 'City ' || (X % 97), (X % 10000) / 7.0, "
        "datetime('2021-06-01', '+' || (X % 900) || ' days') FROM R;";
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void plainLoop(benchmark::State &state)
{
    for (auto _ : state) {
        const double start = cpuSeconds();
        sqlite3 *db = nullptr;
        sqlite3_open_v2(g_path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, Query, -1, &stmt, nullptr);
        int rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < 8; ++c) {
                const unsigned char *text = sqlite3_column_text(stmt, c);
                g_sink += static_cast<std::size_t>(sqlite3_column_bytes(stmt, c)) + (text != nullptr);
            }
            ++rows;
        }
        sqlite3_finalize(stmt);
        sqlite3_close(db);
        const double seconds = cpuSeconds() - start;
        if (rows != Rows)
            state.SkipWithError("plain loop read the wrong number of rows");
        if (g_plainSeconds == 0 || seconds < g_plainSeconds)
            g_plainSeconds = seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["rows/s"] = benchmark::Counter(double(Rows), benchmark::Counter::kIsIterationInvariantRate);
}

void throughLayer(benchmark::State &state)
{
    for (auto _ : state) {
        const double start = cpuSeconds();
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
                        case db::kind_number: g_sink += c->number_text().size(); break;
                        case db::kind_string: g_sink += c->text().size(); break;
                        default: g_sink += c->date().day; break;
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
        const double seconds = cpuSeconds() - start;
        if (rows != Rows)
            state.SkipWithError("the layer read the wrong number of rows");
        if (g_layerSeconds == 0 || seconds < g_layerSeconds)
            g_layerSeconds = seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["rows/s"] = benchmark::Counter(double(Rows), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_path = dir.filePath("BENCH.db");
    if (!createDatabase(g_path)) {
        std::fprintf(stderr, "cannot build the benchmark database\n");
        return 1;
    }
    qputenv("TARVOLO_DATABASES", dir.path().toUtf8());
    engine::registerEngineProvider();

    benchmark::RegisterBenchmark("plain_sqlite3_step_as_text", plainLoop)
        ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("layer_on_engine_batches_of_500", throughLayer)
        ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    if (g_plainSeconds <= 0 || g_layerSeconds <= 0)
        return 1;
    std::printf("plain loop: %.0f rows/s\n", Rows / g_plainSeconds);
    std::printf("through the layer: %.0f rows/s\n", Rows / g_layerSeconds);
    std::printf("(checksum %zu)\n", g_sink);
    std::printf("ratio: %.2f\n", g_layerSeconds / g_plainSeconds);
    return 0;
}
