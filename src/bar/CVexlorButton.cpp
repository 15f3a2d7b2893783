#include "bar/CVexlorButton.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionButton>

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
    updateShownText();
}

void CVexlorButton::mouseMoveEvent(QMouseEvent *event)
{
    emit hovered(this);
    QPushButton::mouseMoveEvent(event);
    event->accept(); // a move over a button is not a move over the bar's background
}

void CVexlorButton::resizeEvent(QResizeEvent *event)
{
    QPushButton::resizeEvent(event);
    updateShownText();
}

void CVexlorButton::updateShownText()
{
    // The room the style leaves for the text beside the icon.
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    int room = contents.width() - 4;
    if (!icon().isNull())
        room -= iconSize().width() + 4;
    QString shown = fontMetrics().elidedText(m_fullText, Qt::ElideRight, std::max(room, 8));
    shown.replace(u'&', QStringLiteral("&&")); // a name's '&' is text, not a mnemonic
    if (shown != text())
        setText(shown);
}
