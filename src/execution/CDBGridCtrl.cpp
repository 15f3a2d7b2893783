#include "execution/CDBGridCtrl.h"

#include "core/CodePage.h"
#include "db/column.h"
#include "db/connection.h"
#include "db/error.h"
#include "db/resultset.h"
#include "db/statement.h"
#include "execution/CColumnCompare.h"
#include "execution/CStatementText.h"
#include "execution/CVariableBinding.h"
#include "execution/CVariablesDlg.h"
#include "settings/Options.h"
#include "ui/CPrompt.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>

namespace {

constexpr int kQuery = 1;              // OCI_STMT_SELECT
constexpr int kDbmsColumnWidth = 1000; // pixels of the DBMS_OUTPUT column
constexpr int kColumnPadding = 30;     // pixels added to a measured column width
const QColor kNullBackground(255, 255, 0);

QColor fromColorRef(quint32 c)
{
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

QByteArray ansi(const QString &text) { return codepage::fromUnicode(text, codepage::kSystemAnsi); }

} // namespace

CDBGridCtrl::Execution::Execution() = default;
CDBGridCtrl::Execution::~Execution() = default;
CDBGridCtrl::Execution::Execution(Execution &&) noexcept = default;
CDBGridCtrl::Execution &CDBGridCtrl::Execution::operator=(Execution &&) noexcept = default;

CDBGridCtrl::CDBGridCtrl(QWidget *parent) : CGridCtrl(parent)
{
    // Tahoma 8 points; the font database substitutes a near font where Tahoma is absent.
    m_cellFont = QFont(QStringLiteral("Tahoma"));
    m_cellFont.setPointSize(8);
    m_cellFont.setWeight(QFont::Normal);
    setUp();
    setRowNumbersTravel(true); // a row keeps its fetch number through sorts
    connect(this, &CGridCtrl::headingPressed, this, &CDBGridCtrl::sortByColumn);
    connect(this, &CGridCtrl::keyPressed, this, &CDBGridCtrl::onKeyPressed, Qt::DirectConnection);
    connect(this, &CGridCtrl::cellDoubleClicked, this, [this](int, int) { editCurrentCell(); });
}

CDBGridCtrl::~CDBGridCtrl()
{
    closeQuery();
    disconnectDatabase();
}

void CDBGridCtrl::setUp()
{
    db::set_rows_per_fetch(static_cast<oci::ub2>(options::clamped(options::ReadBufferSize)));
    setDefaultFont(options::FontGrid.font());
    setCurrentMarks(CurrentMark::FocusRect | CurrentMark::HighlightCell |
                    CurrentMark::HighlightRow);
    setUniformRowHeight(options::clamped(options::GridHeight));
    setDefaultCellFormat(dataCellFormat());
    m_sortColumn = 0;
    m_sortAscending = false;
}

CGridCellFormat CDBGridCtrl::dataCellFormat() const
{
    CGridCellFormat f;
    f.font = m_cellFont;
    f.textColor = fromColorRef(options::FontGrid.color());
    f.background = Qt::white;
    f.alignment = Qt::AlignHCenter | Qt::AlignTop;
    f.editable = true;
    return f;
}

void CDBGridCtrl::showError(const db::error &e) { CPrompt::error(this, e.display_text()); }

bool CDBGridCtrl::connectDatabase()
{
    disconnectDatabase();
    if (!m_session)
        m_session = std::make_unique<db::connection>();
    try {
        db::open_parameters p =
            db::open_parameters::from_unicode(m_connection.database(), m_connection.user(),
                                              m_connection.password(), m_connection.connectAs());
        p.environment_mode = oci::OCI_OBJECT; // environment mode 2
        p.non_blocking = false;
        m_session->open(p);
        m_connected = true;
        return true;
    } catch (const db::error &e) {
        m_connected = false;
        m_session->close();
        showError(e);
        return false;
    }
}

void CDBGridCtrl::disconnectDatabase()
{
    if (m_session && m_connected) {
        closeQuery();
        m_session->close();
        m_connected = false;
    }
}

void CDBGridCtrl::closeQuery()
{
    m_columns.clear();
    m_resultset.reset();
    m_statement.reset();
    m_fetchedRows = 0;
    m_endOfData = false;
}

bool CDBGridCtrl::openQuery()
{
    closeQuery();
    clear();
    if (!m_session || !m_connected)
        return false;
    if (m_sqlText.size() < 4)
        return false;
    if (m_variables && !m_variables->empty() && !m_refreshing) {
        CVariablesDlg dialog(this);
        dialog.setVariables(m_variables);
        if (dialog.exec() != QDialog::Accepted)
            return false;
    }
    try {
        if (options::EnableDBMSOutput)
            enableDbmsOutput();
        Execution run = executeStatement();
        if (!run.statement)
            return false;
        m_statement = std::move(run.statement);
        m_resultset = std::move(run.rows);
        m_statementType = m_statement->type();
        if (!m_resultset) {
            readDbmsOutput();
            closeQuery();
            return true;
        }
        setUpColumns();
        return true;
    } catch (const db::error &e) {
        showError(e);
        closeQuery();
        return false;
    } catch (...) {
        closeQuery();
        return false;
    }
}

CDBGridCtrl::Execution CDBGridCtrl::executeStatement() { return executeStatement(m_sqlText); }

CDBGridCtrl::Execution CDBGridCtrl::executeStatement(const QString &sql)
{
    static const std::vector<CSQLVariable> none;
    const std::vector<CSQLVariable> &variables = m_variables ? *m_variables : none;
    if (!m_session || !m_connected)
        throw DB_LIBRARY_ERROR(db::error::internal_error, "no open session");

    const QString text =
        CStatementText::withoutCarriageReturns(CStatementText::substitute(sql, variables));
    Execution run;
    run.statement = std::make_unique<db::statement>(*m_session, ansi(text).constData(), -1);
    if (run.statement->type() == 0)
        return {};
    for (const CSQLVariable &v : variables) {
        if (v.kind != CSQLVariable::kBind)
            continue;
        const std::string name = ansi(v.name).toStdString();
        const CVariableBinding b = CVariableBinding::decide(v);
        switch (b.as) {
        case CVariableBinding::As::Number:
            run.statement->bind(name, db::kind_number).set_number(b.number);
            break;
        case CVariableBinding::As::Date:
            run.statement->bind(name, db::kind_date).set_date(b.date);
            break;
        case CVariableBinding::As::String:
            run.statement->bind(name, db::kind_string).set_text(b.text);
            break;
        case CVariableBinding::As::Unbound:
            CPrompt::error(this, CVariableBinding::unknownTypeMessage(v));
            break;
        }
    }
    if (run.statement->type() == kQuery)
        run.rows = run.statement->execute_query();
    else
        run.statement->execute();
    return run;
}

void CDBGridCtrl::enableDbmsOutput()
{
    if (!m_session || !m_connected)
        return;
    try {
        const int size = options::clamped(options::DBMSOutputBufferSize);
        db::statement st(*m_session, ansi(CStatementText::enableDbmsOutput(size)).constData());
        st.execute();
    } catch (const db::error &e) {
        showError(e);
    }
}

void CDBGridCtrl::readDbmsOutput()
{
    if (!options::EnableDBMSOutput || !m_session || !m_connected)
        return;
    QStringList lines;
    try {
        db::statement st(*m_session, CStatementText::kGetLine);
        db::parameter &line = st.bind(":1", db::kind_string);
        db::parameter &status = st.bind(":2", db::kind_number);
        for (;;) {
            st.execute();
            if (status.integer() != 0)
                break;
            // An empty line comes back as NULL; it is still a line.
            lines.append(line.is_null() ? QString() : QStringView(line.text()).toString());
        }
    } catch (const db::error &e) {
        showError(e);
    }
    showDbmsOutput(lines);
    repaint();
    disableDbmsOutput();
}

void CDBGridCtrl::disableDbmsOutput()
{
    if (!m_session || !m_connected)
        return;
    try {
        db::statement st(*m_session, CStatementText::kDisableDbmsOutput);
        st.execute();
    } catch (const db::error &e) {
        showError(e);
    }
}

int CDBGridCtrl::countRows()
{
    if (m_statementType != kQuery)
        return 0;
    try {
        Execution run = executeStatement(CStatementText::countRows(m_sqlText));
        if (!run.rows)
            return 0;
        CDBColumn count{QStringLiteral("CNT"), &run.rows->col("CNT"), 0, 0};
        count.kind = count.column->kind();
        bool failed = false;
        const QString text = run.rows->has_row() ? valueText(count, &failed) : QString();
        if (failed)
            return -1;
        const qint64 n = CStatementText::leadingInteger(text);
        return int(std::clamp<qint64>(n, 0, std::numeric_limits<int>::max()));
    } catch (const db::error &e) {
        showError(e);
        return -1;
    }
}

bool CDBGridCtrl::refresh()
{
    m_refreshing = true;
    const bool opened = openQuery();
    m_refreshing = false;
    return opened;
}

void CDBGridCtrl::resetGrid()
{
    closeQuery();
    disconnectDatabase();
    clear();
    m_fetchedRows = 0;
    setColumnCount(0);
    setRowCount(0);
}

void CDBGridCtrl::setUpColumns()
{
    setCurrentMarks(CurrentMark::FocusRect | CurrentMark::HighlightCell |
                    CurrentMark::HighlightRow);
    setMultipleSelection(false);
    setDefaultFont(options::FontGrid.font());
    setDefaultCellFormat(dataCellFormat());
    m_columns.clear();
    if (!m_resultset)
        return;
    const QFontMetrics metrics(m_cellFont);
    for (db::column *c = m_resultset->first_column(); c; c = m_resultset->column_after(c)) {
        CDBColumn column;
        column.name = codepage::toUnicode(
            QByteArrayView(c->name().data(), qsizetype(c->name().size())), codepage::kSystemAnsi);
        column.column = c;
        column.kind = c->kind();
        column.width = metrics.horizontalAdvance(column.name);
        m_columns.push_back(std::move(column));
    }
    setColumnCount(int(m_columns.size()));
    for (int i = 0; i < int(m_columns.size()); ++i)
        setHeadingText(i, m_columns[std::size_t(i)].name);
    // Widths of the data are the first batch's; they are fixed once this returns.
    fetchBlock(!options::SizeToHeader);
    const int maxWidth = options::clamped(options::MaxColWidth);
    for (int i = 0; i < int(m_columns.size()); ++i) {
        CDBColumn &c = m_columns[std::size_t(i)];
        c.width = std::min(c.width, maxWidth);
        setColumnWidth(i, c.width + kColumnPadding);
    }
    recomputeLayout();
}

QString CDBGridCtrl::valueText(CDBColumn &column, bool *failed)
{
    db::column &c = *column.column;
    if (c.is_null())
        return {};
    try {
        switch (column.kind) {
        case db::kind_number: {
            const std::string_view t = c.number_text();
            return QString::fromLatin1(t.data(), qsizetype(t.size()));
        }
        case db::kind_date:
            return m_dateType.displayText(c.date());
        default: {
            const std::u16string_view t = c.text();
            return QString(reinterpret_cast<const QChar *>(t.data()), qsizetype(t.size()));
        }
        }
    } catch (const db::error &e) {
        if (e.kind() == db::error::library_kind && e.code() == db::error::cannot_convert)
            return {};
        if (!*failed)
            showError(e);
        *failed = true;
        return {};
    }
}

void CDBGridCtrl::fetchBlock(bool measure)
{
    if (m_statementType != kQuery || !m_resultset || m_columns.empty())
        return;
    const int columnCount = int(m_columns.size());
    const int batchSize = m_resultset->rows_per_fetch();
    const QFontMetrics metrics(m_cellFont);
    CGridCellFormat nullCell;
    nullCell.background = kNullBackground;

    CGridRowBatch batch;
    batch.reserve(batchSize);
    std::vector<QString> owned(static_cast<std::size_t>(columnCount));
    std::vector<QStringView> views(static_cast<std::size_t>(columnCount));
    std::vector<int> nulls;
    int n = 0;
    bool conversionShown = false; // one message per fetch for values that fail to convert
    try {
        m_resultset->has_row();
        m_endOfData = m_resultset->end_of_data();
        if (!m_endOfData) {
            do {
                nulls.clear();
                for (int i = 0; i < columnCount; ++i) {
                    CDBColumn &col = m_columns[std::size_t(i)];
                    const std::size_t k = std::size_t(i);
                    if (col.kind == db::kind_string && !col.column->is_null()) {
                        const std::u16string_view t = col.column->text();
                        views[k] = QStringView(t.data(), qsizetype(t.size()));
                    } else {
                        owned[k] = valueText(col, &conversionShown);
                        views[k] = owned[k];
                    }
                    if (views[k].isEmpty())
                        nulls.push_back(i);
                    else if (measure)
                        col.width =
                            std::max(col.width, metrics.horizontalAdvance(views[k].toString()));
                }
                batch.addRow(std::span<const QStringView>(views));
                for (int i : nulls)
                    batch.setCellFormat(i, nullCell);
                ++n;
            } while (m_resultset->next());
        }
    } catch (const db::error &e) {
        appendRows(std::move(batch));
        m_fetchedRows += n;
        showError(e);
        return;
    }
    appendRows(std::move(batch));
    m_fetchedRows += n;
    if (n < batchSize)
        m_endOfData = true;
    if (m_endOfData) {
        for (CDBColumn &c : m_columns)
            c.column = nullptr;
        m_resultset.reset();
        m_statement.reset();
    }
}

void CDBGridCtrl::fetchAll()
{
    if (m_statementType != kQuery)
        return;
    while (!m_endOfData && m_resultset) {
        const int before = m_fetchedRows;
        fetchBlock(false);
        if (m_fetchedRows == before && !m_endOfData)
            break; // a failing fetch was shown; do not retry it forever
    }
}

void CDBGridCtrl::showDbmsOutput(const QStringList &lines)
{
    clear();
    setCurrentMarks(CurrentMark::FocusRect);
    setMultipleSelection(true);
    setDefaultFont(options::FontDBMSOutput.font());
    CGridCellFormat f;
    f.font = options::FontDBMSOutput.font();
    f.textColor = fromColorRef(options::FontDBMSOutput.color());
    f.background = Qt::white;
    f.alignment = Qt::AlignLeft | Qt::AlignTop;
    f.editable = true;
    setDefaultCellFormat(f);
    setColumnCount(1);
    setHeadingText(0, QString());
    setColumnWidth(0, kDbmsColumnWidth);
    CGridRowBatch batch;
    batch.reserve(int(lines.size()));
    for (const QString &line : lines)
        batch.addRow(QStringList{line});
    appendRows(std::move(batch));
    viewport()->update();
}

void CDBGridCtrl::sortByColumn(int column)
{
    if (column < 0 || column >= int(m_columns.size()) || column >= columnCount())
        return;
    setSortArrow(m_sortColumn, SortArrow::None);
    if (column == m_sortColumn) {
        m_sortAscending = !m_sortAscending;
    } else {
        m_sortColumn = column;
        m_sortAscending = true;
    }
    CColumnCompare compare(m_columns[std::size_t(column)].kind);
    if (compare.ordersByKey())
        sortRowsByKey(
            column, [&compare](QStringView text) { return compare.key(text); }, !m_sortAscending);
    else
        sortRows(column, compare, !m_sortAscending);
    setSortArrow(column, m_sortAscending ? SortArrow::Ascending : SortArrow::Descending);
    viewport()->update();
}

void CDBGridCtrl::onKeyPressed(int key, Qt::KeyboardModifiers, bool *)
{
    if (key != Qt::Key_Down || m_endOfData || !m_resultset)
        return;
    if (rowCount() > 0 && currentRow() == rowCount() - 1) {
        fetchBlock(false);
        emit rowsFetched(m_fetchedRows);
    }
}
