#include "execution/CSpreadsheetExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

IExportTable::~IExportTable() = default;

namespace {

constexpr int kMaxColumns = 16384; // Excel's columns per sheet
constexpr double kMinWidth = 8.43; // Excel's default column width, in characters
constexpr double kMaxWidth = 255;

// Owns a workbook until it is closed; one that is dropped unclosed is closed (and so freed) here.
class CWorkbook
{
public:
    explicit CWorkbook(const QByteArray &path)
    {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        options.use_zip64 = LXW_TRUE;
        m_workbook = workbook_new_opt(path.constData(), &options);
    }
    ~CWorkbook()
    {
        if (m_workbook)
            workbook_close(m_workbook);
    }
    CWorkbook(const CWorkbook &) = delete;
    CWorkbook &operator=(const CWorkbook &) = delete;

    lxw_workbook *get() const { return m_workbook; }
    lxw_error close()
    {
        lxw_workbook *workbook = m_workbook;
        m_workbook = nullptr;
        return workbook_close(workbook);
    }

private:
    lxw_workbook *m_workbook = nullptr;
};

QByteArray cellText(const QString &text)
{
    if (text.size() <= CSpreadsheetExport::kMaxCellText)
        return text.toUtf8();
    qsizetype cut = CSpreadsheetExport::kMaxCellText;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut).toUtf8();
}

// Excel counts days from 1900 and has no dates beyond 9999; others go over as their text.
bool fitsExcel(const CDateTime &d) { return d.isValid() && d.year() >= 1900 && d.year() <= 9999; }

QString fileNamePart(const QString &name)
{
    QString part;
    for (QChar c : name) {
        const bool bad = c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c);
        part += bad ? QLatin1Char('_') : c;
    }
    part = part.trimmed();
    while (part.startsWith(QLatin1Char('.')))
        part.remove(0, 1);
    if (part.size() > 100)
        part.truncate(100);
    return part.isEmpty() ? QStringLiteral("Export") : part;
}

} // namespace

CSpreadsheetExport::CSpreadsheetExport(const QString &dateFormat, const QString &timeFormat)
    : m_dateFormat(dateFormat), m_timeFormat(timeFormat)
{
}

QString CSpreadsheetExport::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Tarvolo Exports"));
}

QString CSpreadsheetExport::uniquePath(const QString &folder, const QString &elementName,
                                       const CDateTime &when)
{
    const QString base = fileNamePart(elementName) + QLatin1Char(' ') +
                         when.format(QStringLiteral("%Y-%m-%d %H%M%S"));
    const QDir dir(folder);
    QString path = dir.filePath(base + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(base + QStringLiteral(" (%1).xlsx").arg(n));
    return path;
}

QString CSpreadsheetExport::excelFormat(const QString &pattern)
{
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('%') && i + 1 < pattern.size()) {
            switch (pattern.at(++i).unicode()) {
            case 'd':
                out += QLatin1String("dd");
                break;
            case 'm':
                out += QLatin1String("mm");
                break;
            case 'y':
                out += QLatin1String("yy");
                break;
            case 'Y':
                out += QLatin1String("yyyy");
                break;
            case 'b':
                out += QLatin1String("mmm");
                break;
            case 'B':
                out += QLatin1String("mmmm");
                break;
            case 'H':
            case 'I':
                out += QLatin1String("hh");
                break;
            case 'M':
                out += QLatin1String("mm");
                break;
            case 'S':
                out += QLatin1String("ss");
                break;
            case 'p':
                out += QLatin1String("AM/PM");
                break;
            case '%':
                out += QLatin1String("\\%");
                break;
            default:
                break;
            }
        } else if (QStringLiteral(" .,/-:").contains(c)) {
            out += c;
        } else {
            out += QLatin1Char('\\');
            out += c;
        }
    }
    return out;
}

bool CSpreadsheetExport::write(const IExportTable &table, const QString &path)
{
    m_failure.clear();
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath())) {
        m_failure =
            QStringLiteral("The folder %1 could not be created.").arg(target.absolutePath());
        return false;
    }
    // Written under a name of its own and renamed at the end, so no half-written workbook ever
    // stands at path and a failure leaves nothing behind.
    const QString partial = target.absoluteDir().filePath(QLatin1Char('.') + target.fileName() +
                                                          QStringLiteral(".part"));
    QFile::remove(partial);

    lxw_error error = LXW_NO_ERROR;
    const auto fail = [&](lxw_error e) {
        if (e != LXW_NO_ERROR && error == LXW_NO_ERROR)
            error = e;
        return e != LXW_NO_ERROR;
    };
    {
        CWorkbook workbook(QFile::encodeName(partial));
        if (!workbook.get()) {
            m_failure = QStringLiteral("The workbook %1 could not be created.").arg(path);
            QFile::remove(partial);
            return false;
        }
        lxw_format *bold = workbook_add_format(workbook.get());
        format_set_bold(bold);
        lxw_format *dateOnly = workbook_add_format(workbook.get());
        format_set_num_format(dateOnly, excelFormat(m_dateFormat).toUtf8().constData());
        lxw_format *dateTime = workbook_add_format(workbook.get());
        format_set_num_format(
            dateTime,
            excelFormat(m_dateFormat + QLatin1Char(' ') + m_timeFormat).toUtf8().constData());

        const int columns = std::min(table.columnCount(), kMaxColumns);
        const qint64 rows = table.rowCount();
        const bool headings = table.hasHeadings();
        const qint64 perSheet = std::max<qint64>(1, m_sheetRows);
        qint64 row = 0;
        do {
            lxw_worksheet *sheet = workbook_add_worksheet(workbook.get(), nullptr);
            if (!sheet) {
                fail(LXW_ERROR_MEMORY_MALLOC_FAILED);
                break;
            }
            const qint64 sheetRows = std::min(perSheet, rows - row);
            if (headings && columns > 0) {
                for (int c = 0; c < columns; ++c) {
                    const QString heading = table.heading(c);
                    const double width =
                        std::clamp(double(heading.size()) * 1.1 + 2, kMinWidth, kMaxWidth);
                    fail(worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, nullptr));
                }
                worksheet_freeze_panes(sheet, 1, 0);
                fail(worksheet_autofilter(sheet, 0, 0, lxw_row_t(std::max<qint64>(sheetRows, 1)),
                                          lxw_col_t(columns - 1)));
                for (int c = 0; c < columns; ++c)
                    fail(worksheet_write_string(sheet, 0, lxw_col_t(c),
                                                cellText(table.heading(c)).constData(), bold));
            }
            for (qint64 r = 0; r < sheetRows && error == LXW_NO_ERROR; ++r, ++row) {
                const lxw_row_t at = lxw_row_t(r + 1);
                for (int c = 0; c < columns; ++c) {
                    const IExportTable::Cell cell = table.cell(row, c);
                    if (cell.null)
                        continue;
                    const IExportTable::Kind kind = table.kind(c);
                    if (kind == IExportTable::Kind::Number) {
                        bool ok = false;
                        const double value = cell.text.trimmed().toDouble(&ok);
                        if (ok && std::isfinite(value)) {
                            fail(worksheet_write_number(sheet, at, lxw_col_t(c), value, nullptr));
                            continue;
                        }
                    } else if (kind == IExportTable::Kind::Date && fitsExcel(cell.date)) {
                        const CDateTime &d = cell.date;
                        lxw_datetime value{d.year(), d.month(),  d.day(),
                                           d.hour(), d.minute(), double(d.second())};
                        const bool midnight = d.hour() == 0 && d.minute() == 0 && d.second() == 0;
                        fail(worksheet_write_datetime(sheet, at, lxw_col_t(c), &value,
                                                      midnight ? dateOnly : dateTime));
                        continue;
                    }
                    if (!cell.text.isEmpty())
                        fail(worksheet_write_string(sheet, at, lxw_col_t(c),
                                                    cellText(cell.text).constData(), nullptr));
                }
            }
        } while (row < rows && error == LXW_NO_ERROR);
        const lxw_error closed = workbook.close();
        fail(closed);
    }
    if (error != LXW_NO_ERROR) {
        QFile::remove(partial);
        m_failure = QStringLiteral("The workbook %1 could not be written: %2.")
                        .arg(path, QString::fromUtf8(lxw_strerror(error)));
        return false;
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) !=
        0) {
        QFile::remove(partial);
        m_failure = QStringLiteral("The workbook could not be saved as %1.").arg(path);
        return false;
    }
    return true;
}
