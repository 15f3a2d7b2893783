#include "ui/CStaticLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QUrl>

namespace {
constexpr int kMargin = 1; // pixels around the text, as a static control leaves them
} // namespace

CStaticLabel::CStaticLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setFontDescription(CLogFont::generic());
}

void CStaticLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void CStaticLabel::setFontDescription(const CLogFont &description)
{
    setFont(description == CLogFont() ? CLogFont::generic().toQFont() : description.toQFont());
    updateGeometry();
    update();
}

void CStaticLabel::setTextColor(quint32 colorref)
{
    m_color = colorref & 0x00FFFFFFu;
    update();
}

void CStaticLabel::setTransparent(bool transparent)
{
    m_transparent = transparent;
    setAttribute(Qt::WA_NoSystemBackground, transparent);
    setAutoFillBackground(false);
    update();
}

void CStaticLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QColor CStaticLabel::fromColorref(quint32 colorref)
{
    return QColor(int(colorref & 0xFF), int((colorref >> 8) & 0xFF), int((colorref >> 16) & 0xFF));
}

QSize CStaticLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize text = metrics.size(0, m_text.isEmpty() ? QStringLiteral(" ") : m_text);
    return text + QSize(2 * kMargin, 2 * kMargin);
}

QSize CStaticLabel::minimumSizeHint() const { return sizeHint(); }

void CStaticLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!m_transparent)
        painter.fillRect(rect(), palette().brush(backgroundRole()));
    painter.setFont(font());
    painter.setPen(isEnabled() ? fromColorref(m_color)
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin),
                     int(m_alignment) | Qt::TextSingleLine, m_text);
}

CLinkLabel::CLinkLabel(const QString &text, const QUrl &url, QWidget *parent)
    : CStaticLabel(text, parent), m_url(url)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setTextColor(0xCC6600); // a link blue, 0x00BBGGRR
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void CLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit activated(m_url);
    CStaticLabel::mouseReleaseEvent(event);
}

void CLinkLabel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        emit activated(m_url);
        event->accept();
        return;
    }
    CStaticLabel::keyPressEvent(event);
}

void CLinkLabel::paintEvent(QPaintEvent *event)
{
    CStaticLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
