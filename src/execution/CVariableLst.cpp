#include "execution/CVariableLst.h"

namespace {

const QStringList kTypes{QStringLiteral("String"), QStringLiteral("Number"),
                         QStringLiteral("Date")};

QStringList historyOptions(const CSQLVariable &v)
{
    return v.historyOptionsText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

CVariableLst::CVariableLst(QWidget *parent) : CGridCtrl(parent)
{
    setCurrentMarks(CurrentMark::HighlightCell | CurrentMark::HighlightRow);
    setMultipleSelection(false);
    CGridCellFormat cell;
    cell.alignment = Qt::AlignCenter;
    cell.editable = true;
    setDefaultCellFormat(cell);
    connect(this, &CGridCtrl::cellEdited, this, [this](int row, int column) {
        if (column == kTypeColumn)
            applyValueRule(row);
    });
    connect(this, &CGridCtrl::cellDoubleClicked, this, [this](int, int column) {
        if (column == kValueColumn || column == kTypeColumn)
            editCurrentCell();
    });
}

void CVariableLst::fill(std::vector<CSQLVariable> &variables)
{
    clear();
    setColumnCount(3);
    setHeadingText(kNameColumn, QStringLiteral("Name"));
    setHeadingText(kTypeColumn, QStringLiteral("Type"));
    setHeadingText(kValueColumn, QStringLiteral("Value"));
    setColumnWidth(kNameColumn, 160);
    setColumnWidth(kTypeColumn, 80);
    setColumnWidth(kValueColumn, 200);
    setRowCount(int(variables.size()));
    for (int i = 0; i < int(variables.size()); ++i) {
        CSQLVariable &v = variables[std::size_t(i)];
        setText(i, kNameColumn, v.name);
        setEditable(i, kNameColumn, false);
        if (v.name.startsWith(QLatin1Char('&'))) {
            setText(i, kTypeColumn, QStringLiteral("String"));
            setEditable(i, kTypeColumn, false);
        } else {
            setOptions(i, kTypeColumn, kTypes);
            setText(i, kTypeColumn, v.type);
        }
        if (v.value.isEmpty() && !v.history.isEmpty())
            v.value = v.history.last();
        setOptions(i, kValueColumn, historyOptions(v));
        setText(i, kValueColumn, v.value);
        applyValueRule(i);
    }
    if (!variables.empty())
        setCurrentCell(0, kValueColumn);
}

void CVariableLst::applyValueRule(int row)
{
    if (text(row, kTypeColumn) == QLatin1String("Date")) {
        if (text(row, kValueColumn).isEmpty())
            setText(row, kValueColumn, datePlaceholder());
        setInputMask(row, kValueColumn, CDateType::editMask());
        setEditable(row, kValueColumn, true);
    } else {
        setInputMask(row, kValueColumn, QString());
        // The placeholder is no value once the row is no longer a date.
        if (text(row, kValueColumn) == datePlaceholder())
            setText(row, kValueColumn, QString());
    }
}

QString CVariableLst::typeText(int row) const { return text(row, kTypeColumn); }

QString CVariableLst::valueText(int row) const
{
    const QString value = text(row, kValueColumn);
    if (value.isEmpty() && typeText(row) == QLatin1String("Date"))
        return datePlaceholder();
    return value;
}

void CVariableLst::takeInto(std::vector<CSQLVariable> &variables) const
{
    const int rows = std::min(rowCount(), int(variables.size()));
    for (int j = 0; j < rows; ++j) {
        CSQLVariable &v = variables[std::size_t(j)];
        v.type = typeText(j);
        v.value = valueText(j);
        v.addToHistory(v.value);
    }
}
