// Exporting 100,000 rows × 8 typed columns (numbers, texts, dates, NULLs) to an .xlsx workbook
// through the program's export, against libxlsxwriter writing the same typed cells from values
// prepared in advance. Each side is timed by the process's CPU time, best of three; the last line
// prints the export's time over libxlsxwriter's alone as "ratio: X".
#include "execution/CSpreadsheetExport.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int Rows = 100'000;
constexpr int Columns = 8;

QString g_folder;
double g_plainSeconds = 0;
double g_exportSeconds = 0;

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

const IExportTable::Kind kKinds[Columns] = {IExportTable::Kind::Number, IExportTable::Kind::Text,
                                            IExportTable::Kind::Number, IExportTable::Kind::Date,
                                            IExportTable::Kind::Number, IExportTable::Kind::Text,
                                            IExportTable::Kind::Number, IExportTable::Kind::Date};

// The rows as a fetched grid holds them: the text of every cell, dates with their values.
class CFetchedRows : public IExportTable
{
public:
    CFetchedRows()
    {
        m_cells.resize(size_t(Rows) * Columns);
        for (int r = 0; r < Rows; ++r) {
            Cell *row = &m_cells[size_t(r) * Columns];
            row[0].text = QString::number(r + 1);
            row[1].text = QStringLiteral("Customer name %1").arg(r % 9973);
            row[2].text = QString::number(double((r * 7919L) % 1000003) / 100.0, 'f', 2);
            row[3].date = CDateTime(2020, r % 12 + 1, r % 28 + 1, r % 24, r % 60, r % 60);
            row[3].text = row[3].date.format(QStringLiteral("%d.%m.%Y %H:%M:%S"));
            row[4].text = QString::number(r % 1000);
            row[5].text = QStringLiteral("City %1").arg(r % 97);
            row[6].null = r % 5 == 0;
            row[6].text =
                row[6].null ? QString() : QString::number(double(r % 10000) / 7.0, 'g', 15);
            row[7].date = CDateTime(2021, r % 12 + 1, r % 28 + 1);
            row[7].text = row[7].date.format(QStringLiteral("%d.%m.%Y"));
        }
    }
    int columnCount() const override { return Columns; }
    qint64 rowCount() const override { return Rows; }
    bool hasHeadings() const override { return true; }
    QString heading(int column) const override { return QStringLiteral("COLUMN_%1").arg(column); }
    Kind kind(int column) const override { return kKinds[column]; }
    Cell cell(qint64 row, int column) const override
    {
        return m_cells[size_t(row) * Columns + size_t(column)];
    }
    const Cell &at(int row, int column) const
    {
        return m_cells[size_t(row) * Columns + size_t(column)];
    }

private:
    std::vector<Cell> m_cells;
};

const CFetchedRows &rows()
{
    static const CFetchedRows table;
    return table;
}

// The same cells straight into libxlsxwriter, the values converted beforehand.
void plainWriter(benchmark::State &state)
{
    struct Value
    {
        bool null = false;
        double number = 0;
        QByteArray text;
        lxw_datetime date{};
    };
    std::vector<Value> values(size_t(Rows) * Columns);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Columns; ++c) {
            const IExportTable::Cell &cell = rows().at(r, c);
            Value &v = values[size_t(r) * Columns + size_t(c)];
            v.null = cell.null;
            if (kKinds[c] == IExportTable::Kind::Number)
                v.number = cell.text.toDouble();
            else if (kKinds[c] == IExportTable::Kind::Date)
                v.date = {cell.date.year(), cell.date.month(),  cell.date.day(),
                          cell.date.hour(), cell.date.minute(), double(cell.date.second())};
            else
                v.text = cell.text.toUtf8();
        }
    const QByteArray path = (g_folder + QStringLiteral("/plain.xlsx")).toUtf8();
    for (auto _ : state) {
        const double start = cpuSeconds();
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook *workbook = workbook_new_opt(path.constData(), &options);
        lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
        lxw_format *bold = workbook_add_format(workbook);
        format_set_bold(bold);
        lxw_format *date = workbook_add_format(workbook);
        format_set_num_format(date, "dd.mm.yyyy hh:mm:ss");
        for (int c = 0; c < Columns; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), "COLUMN", bold);
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c) {
                Value &v = values[size_t(r) * Columns + size_t(c)];
                if (v.null)
                    continue;
                if (kKinds[c] == IExportTable::Kind::Number)
                    worksheet_write_number(sheet, lxw_row_t(r + 1), lxw_col_t(c), v.number,
                                           nullptr);
                else if (kKinds[c] == IExportTable::Kind::Date)
                    worksheet_write_datetime(sheet, lxw_row_t(r + 1), lxw_col_t(c), &v.date, date);
                else
                    worksheet_write_string(sheet, lxw_row_t(r + 1), lxw_col_t(c),
                                           v.text.constData(), nullptr);
            }
        if (workbook_close(workbook) != LXW_NO_ERROR)
            state.SkipWithError("libxlsxwriter failed");
        const double seconds = cpuSeconds() - start;
        if (g_plainSeconds == 0 || seconds < g_plainSeconds)
            g_plainSeconds = seconds;
        state.SetIterationTime(seconds);
    }
}

void programExport(benchmark::State &state)
{
    const QString path = g_folder + QStringLiteral("/export.xlsx");
    for (auto _ : state) {
        const double start = cpuSeconds();
        CSpreadsheetExport exporter(QStringLiteral("%d.%m.%Y"), QStringLiteral("%H:%M:%S"));
        if (!exporter.write(rows(), path))
            state.SkipWithError("the export failed");
        const double seconds = cpuSeconds() - start;
        if (g_exportSeconds == 0 || seconds < g_exportSeconds)
            g_exportSeconds = seconds;
        state.SetIterationTime(seconds);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    g_folder = dir.path();
    rows();
    benchmark::RegisterBenchmark("libxlsxwriter_alone", plainWriter)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("export_100000x8", programExport)
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_plainSeconds <= 0 || g_exportSeconds <= 0)
        return 1;
    std::printf("libxlsxwriter alone: %.0f ms\n", g_plainSeconds * 1000);
    std::printf("export: %.0f ms\n", g_exportSeconds * 1000);
    std::printf("ratio: %.2f\n", g_exportSeconds / g_plainSeconds);
    return 0;
}
