#include "grid/CGridDelegate.h"

#include "grid/CGridCtrl.h"
#include "grid/CGridInputMask.h"
#include "grid/CGridModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

namespace {

constexpr int TextMargin = 3;  // pixels between the cell's edges and its text
constexpr int ArrowWidth = 12; // pixels of the drop-down arrow at a list cell's right edge

QString editorText(QWidget *editor)
{
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        return combo->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(editor))
        return edit->text();
    return {};
}

} // namespace

CGridDelegate::CGridDelegate(CGridCtrl *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

void CGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const
{
    const CGridCellFormat format = m_grid->store().effectiveFormat(index.row(), index.column());
    const QPalette &palette = option.palette;
    const QModelIndex current = m_grid->currentIndex();
    const bool currentRow = current.isValid() && current.row() == index.row();
    const bool currentCell = currentRow && current.column() == index.column();
    const CGridCtrl::CurrentMarks marks = m_grid->currentMarks();
    const bool highlighted =
        (currentCell && marks.testFlag(CGridCtrl::CurrentMark::HighlightCell)) ||
        (m_grid->multipleSelection() && option.state.testFlag(QStyle::State_Selected));
    const QRect rect = option.rect;

    painter->save();
    painter->fillRect(rect, format.background.isValid() ? format.background : palette.base().color());
    QColor textColor = format.textColor.isValid() ? format.textColor : palette.text().color();
    if (highlighted) {
        painter->fillRect(rect, palette.highlight());
        textColor = palette.highlightedText().color();
    } else if (currentRow && marks.testFlag(CGridCtrl::CurrentMark::HighlightRow)) {
        QColor tint = palette.highlight().color();
        tint.setAlpha(60);
        painter->fillRect(rect, tint);
    }

    const bool list = format.options.has_value();
    QRect textRect = rect.adjusted(TextMargin, 0, -TextMargin - (list ? ArrowWidth : 0), 0);
    const QString text = m_grid->store().text(index.row(), index.column());
    if (!text.isEmpty()) {
        const QFont font = format.font.value_or(option.font);
        painter->setFont(font);
        painter->setPen(textColor);
        const Qt::Alignment alignment =
            format.alignment ? format.alignment : (Qt::AlignLeft | Qt::AlignVCenter);
        const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width());
        painter->drawText(textRect, int(alignment) | Qt::TextSingleLine, shown);
    }
    if (list) {
        QStyleOption arrow;
        arrow.rect = QRect(rect.right() - ArrowWidth, rect.top(), ArrowWidth, rect.height());
        arrow.palette = palette;
        arrow.palette.setColor(QPalette::ButtonText, textColor);
        arrow.state = QStyle::State_Enabled;
        m_grid->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, m_grid);
    }
    if (currentCell && marks.testFlag(CGridCtrl::CurrentMark::FocusRect)) {
        QPen pen(highlighted ? palette.highlightedText().color() : palette.text().color());
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
    }
    painter->restore();
}

QWidget *CGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    const QVariant options = index.data(CGridModel::OptionsRole);
    const QString mask = CGridInputMask::toLineEditMask(index.data(CGridModel::InputMaskRole).toString());
    QWidget *editor = nullptr;
    QLineEdit *line = nullptr;
    if (options.isValid()) {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(options.toStringList());
        combo->setFrame(false);
        line = combo->lineEdit();
        // Picking an option from the list takes it at once.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            emit const_cast<CGridDelegate *>(this)->commitData(combo);
            emit const_cast<CGridDelegate *>(this)->closeEditor(combo);
        });
        editor = combo;
    } else {
        line = new QLineEdit(parent);
        line->setFrame(false);
        editor = line;
    }
    if (!mask.isEmpty())
        line->setInputMask(mask);
    const QVariant font = index.data(Qt::FontRole);
    editor->setFont(font.isValid() ? font.value<QFont>() : option.font);
    m_editor = editor;
    return editor;
}

void CGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly));
        combo->setEditText(text);
    } else if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setText(text);
        if (!edit->inputMask().isEmpty())
            edit->setCursorPosition(0);
    }
}

void CGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                 const QModelIndex &index) const
{
    const QString text = editorText(editor);
    const QString mask = index.data(CGridModel::InputMaskRole).toString();
    if (!mask.isEmpty() && CGridInputMask::isBlank(mask, text))
        return;
    if (text != index.data(Qt::EditRole).toString())
        model->setData(index, text, Qt::EditRole);
}

void CGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                         const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}
