#include "bar/CVexlorButton.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

#include <algorithm>

CVexlorButton::CVexlorButton(CVexlorElement &element, QWidget *parent)
    : QPushButton(parent), m_element(&element)
{
    setMouseTracking(true);
    // Enter belongs to the bar (it runs the current element), never to a default button.
    setAutoDefault(false);
    setDefault(false);
    QPalette p = palette();
    const QColor teal(0, 128, 128);
    p.setColor(QPalette::ButtonText, teal);
    p.setColor(QPalette::Inactive, QPalette::ButtonText, teal);
    setPalette(p);
    setGeometry(10, 10, 90, 20);
}

void CVexlorButton::setFullText(const QString &text)
{
    m_fullText = text;
    QString escaped = text;
    setText(escaped.replace(u'&', QStringLiteral("&&"))); // a name's '&' is text, not a mnemonic
}

void CVexlorButton::mouseMoveEvent(QMouseEvent *event)
{
    emit hovered(this, event->modifiers());
    QPushButton::mouseMoveEvent(event);
    event->accept(); // a move over a button is not a move over the bar's background
}

// The style's button face, then the icon and the name left-aligned, as a launcher lists them.
void CVexlorButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    int x = contents.left() + 4;
    if (!icon().isNull()) {
        const QSize size = iconSize();
        const QRect iconRect(x, contents.top() + (contents.height() - size.height()) / 2,
                             size.width(), size.height());
        icon().paint(&p, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
        x += size.width() + 6;
    }
    const QRect textRect(x, contents.top(), std::max(contents.right() - 2 - x, 0),
                         contents.height());
    const QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, textRect.width());
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
