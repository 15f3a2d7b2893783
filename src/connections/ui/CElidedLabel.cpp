#include "connections/ui/CElidedLabel.h"

#include <QFontMetrics>

CElidedLabel::CElidedLabel(QWidget *parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void CElidedLabel::setFullText(const QString &text)
{
    m_full = text;
    setToolTip(text);
    updateShown();
    updateGeometry();
}

QSize CElidedLabel::sizeHint() const
{
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * margin();
    return {fontMetrics().horizontalAdvance(m_full) + margins + 2, QLabel::sizeHint().height()};
}

QSize CElidedLabel::minimumSizeHint() const
{
    return {std::min(sizeHint().width(), fontMetrics().averageCharWidth() * 12),
            QLabel::minimumSizeHint().height()};
}

void CElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateShown();
}

void CElidedLabel::updateShown()
{
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideMiddle, std::max(width(), 1));
    if (shown != text())
        QLabel::setText(shown);
}
