#include "connections/ui/CConnectionLst.h"

#include "connections/CConnectionList.h"
#include "connections/CSQLConnection.h"

#include <QHeaderView>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {

const char *const kHeadings[CConnectionOrder::kColumnCount] = {"User", "Database", "Connect As",
                                                               "Last Connect"};

} // namespace

CConnectionLst::CConnectionLst(CSettingsStore &store, QWidget *parent)
    : CGridCtrl(parent), m_store(store), m_sort(CConnectionSort::load(store))
{
    setObjectName(QStringLiteral("connectionList"));
    setCurrentMarks(CurrentMark::HighlightRow);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setMultipleSelection(false);
    CGridCellFormat cell;
    cell.editable = false;
    cell.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    setDefaultCellFormat(cell);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setUniformRowHeight(fontMetrics().height() + 6);

    connect(this, &CGridCtrl::currentRowChanged, this, [this](int row) {
        if (m_quiet || row < 0)
            return;
        if (const CSQLConnection *record = recordAt(row)) {
            m_rememberedUser = record->user();
            m_rememberedDatabase = record->database();
        }
        emit rowChosen(row);
    });
    connect(this, &CGridCtrl::headingPressed, this, &CConnectionLst::pressHeading);
    // The heading view turns its own indicator on a click; the arrow shows our order only.
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this] {
        setSortArrow(m_sort.column,
                     m_sort.ascending ? SortArrow::Ascending : SortArrow::Descending);
    });
    connect(this, &CGridCtrl::cellDoubleClicked, this,
            [this](int, int) { emit acceptRequested(); });
    connect(
        this, &CGridCtrl::keyPressed, this,
        [this](int key, Qt::KeyboardModifiers modifiers, bool *consumed) {
            if (modifiers & ~(Qt::KeypadModifier))
                return;
            if (key == Qt::Key_Delete) {
                *consumed = true;
                emit deleteRequested();
            } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                *consumed = true;
                emit acceptRequested();
            }
        },
        Qt::DirectConnection);
}

CConnectionLst::~CConnectionLst()
{
    m_quiet = true;
    m_list = nullptr;
    m_sort.save(m_store);
}

void CConnectionLst::fill(const CConnectionList &list)
{
    QScopedValueRollback quiet(m_quiet, true);
    m_list = &list;
    clear();
    setColumnCount(CConnectionOrder::kColumnCount);
    const int arrowRoom = fontMetrics().height() + 12; // the sort arrow and the heading margins
    for (int c = 0; c < CConnectionOrder::kColumnCount; ++c) {
        const QString heading = QString::fromLatin1(kHeadings[c]);
        setHeadingText(c, heading);
        setColumnWidth(c, std::max(kDefaultWidths[c], textWidth(heading) + arrowRoom));
    }
    // The last connect column must show a whole date and time in the font in use.
    setColumnWidth(CConnectionOrder::LastConnect,
                   std::max(columnWidth(CConnectionOrder::LastConnect),
                            textWidth(QStringLiteral("00.00.0000 00:00:00")) + 12));
    // Room for every column without a horizontal scroll bar; more room widens the last one.
    int total = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < CConnectionOrder::kColumnCount; ++c)
        total += columnWidth(c);
    setMinimumWidth(total);
    setRowCount(list.size());
    applySort();
}

void CConnectionLst::applySort()
{
    QScopedValueRollback quiet(m_quiet, true);
    m_rows = m_list ? CConnectionOrder::order(*m_list, m_sort.column, m_sort.ascending)
                    : std::vector<int>();
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const CSQLConnection &record = m_list->at(m_rows[std::size_t(row)]);
        for (int c = 0; c < CConnectionOrder::kColumnCount; ++c)
            setText(row, c, CConnectionOrder::cellText(c, record));
    }
    setSortArrow(m_sort.column, m_sort.ascending ? SortArrow::Ascending : SortArrow::Descending);
    selectRemembered();
}

const CSQLConnection *CConnectionLst::recordAt(int row) const
{
    if (!m_list || row < 0 || row >= int(m_rows.size()))
        return nullptr;
    const int index = m_rows[std::size_t(row)];
    return index < m_list->size() ? &m_list->at(index) : nullptr;
}

int CConnectionLst::rowOf(const QString &user, const QString &database) const
{
    for (int row = 0; row < rowCount(); ++row) {
        if (text(row, CConnectionOrder::User) == user &&
            text(row, CConnectionOrder::Database) == database)
            return row;
    }
    return -1;
}

void CConnectionLst::selectRecord(const CSQLConnection &record)
{
    m_rememberedUser = record.user();
    m_rememberedDatabase = record.database();
    selectRemembered();
}

void CConnectionLst::selectRemembered()
{
    QScopedValueRollback quiet(m_quiet, true);
    const int row = rowOf(m_rememberedUser, m_rememberedDatabase);
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
        clearSelection();
        return;
    }
    setCurrentCell(row, CConnectionOrder::User);
}

void CConnectionLst::pressHeading(int column)
{
    if (column < 0 || column >= CConnectionOrder::kColumnCount)
        return;
    m_sort.press(column);
    applySort();
}

void CConnectionLst::focusInEvent(QFocusEvent *event)
{
    const bool hadCurrent = currentIndex().isValid();
    QScopedValueRollback quiet(m_quiet, true);
    CGridCtrl::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid())
        selectionModel()->clearCurrentIndex();
}
