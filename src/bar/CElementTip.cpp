#include "bar/CElementTip.h"

#include "bar/CElementTipText.h"
#include "bar/CVexlorButton.h"
#include "elements/CVexlorElement.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace {

constexpr int kMargin = 8;         // padding inside the border
constexpr int kSeparatorGap = 6;   // space above and below the separator line
constexpr int kMaxTextWidth = 640; // longer lines are cut with an ellipsis
constexpr int kShowMilliseconds = 15000;

QString expandTabs(QString text) { return text.replace(u'\t', QStringLiteral("    ")); }

QStringList linesOf(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return t.split(u'\n');
}

} // namespace

CElementTip::CElementTip(QWidget *bar)
    : QWidget(bar, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("elementTip"));
    m_mainFont = QFont(QStringLiteral("Tahoma"));
    m_mainFont.setPointSizeF(QGuiApplication::font().pointSizeF());
    m_sqlFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_hideTimer.setSingleShot(true);
    connect(&m_hideTimer, &QTimer::timeout, this, &CElementTip::hideTip);
}

CVexlorButton *CElementTip::button() const { return isVisible() ? m_button.data() : nullptr; }

const CVexlorElement *CElementTip::element() const
{
    CVexlorButton *b = button();
    return b ? &b->element() : nullptr;
}

QSize CElementTip::textBlockSize(const QString &text, const QFont &font) const
{
    if (text.isEmpty())
        return {0, 0};
    const QFontMetrics fm(font);
    const QStringList lines = linesOf(text);
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, fm.horizontalAdvance(expandTabs(line)));
    return {std::min(width, kMaxTextWidth), int(lines.size()) * fm.lineSpacing()};
}

void CElementTip::prepare(CVexlorButton *button)
{
    m_button = button;
    m_mainText = button ? button->tipText() : QString();
    m_sqlText =
        button ? elementTipText::sqlPreview(button->element().sqlText()).trimmed() : QString();
    const QSize main = textBlockSize(m_mainText, m_mainFont);
    const QSize sql = textBlockSize(m_sqlText, m_sqlFont);
    int height = main.height() + sql.height();
    if (main.height() > 0 && sql.height() > 0)
        height += 2 * kSeparatorGap + 1;
    resize(std::max({main.width(), sql.width(), 80}) + 2 * kMargin, height + 2 * kMargin);
    update();
}

void CElementTip::showTip(CVexlorButton *button, const QPoint &globalPos)
{
    prepare(button);
    if (!button || (m_mainText.isEmpty() && m_sqlText.isEmpty())) {
        hideTip();
        return;
    }
    QPoint pos = globalPos + QPoint(2, 18);
    if (const QScreen *screen = QGuiApplication::screenAt(globalPos)) {
        const QRect area = screen->availableGeometry();
        if (pos.x() + width() > area.right())
            pos.setX(std::max(area.left(), area.right() - width()));
        if (pos.y() + height() > area.bottom())
            pos.setY(std::max(area.top(), globalPos.y() - height() - 4));
    }
    move(pos);
    show();
    raise();
    m_hideTimer.start(kShowMilliseconds);
}

void CElementTip::hideTip()
{
    m_hideTimer.stop();
    hide();
}

void CElementTip::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient background(r.topLeft(), r.bottomRight()); // 45 degrees
    background.setColorAt(0, QColor(104, 165, 225));
    background.setColorAt(1, QColor(37, 92, 222));
    p.fillRect(rect(), background);
    p.setPen(QColor(113, 166, 246));
    p.drawRect(r);

    p.setPen(Qt::white);
    int y = kMargin;
    const int textWidth = width() - 2 * kMargin;
    const auto drawBlock = [&](const QString &text, const QFont &font) {
        p.setFont(font);
        const QFontMetrics fm(font);
        for (const QString &line : linesOf(text)) {
            p.drawText(kMargin, y + fm.ascent(),
                       fm.elidedText(expandTabs(line), Qt::ElideRight, textWidth));
            y += fm.lineSpacing();
        }
    };
    if (!m_mainText.isEmpty())
        drawBlock(m_mainText, m_mainFont);
    if (!m_mainText.isEmpty() && !m_sqlText.isEmpty()) {
        y += kSeparatorGap;
        QLinearGradient line(kMargin, 0, width() - kMargin, 0);
        line.setColorAt(0, QColor(255, 201, 109));
        line.setColorAt(1, QColor(255, 247, 225));
        p.fillRect(QRect(kMargin, y, textWidth, 1), line);
        y += 1 + kSeparatorGap;
    }
    if (!m_sqlText.isEmpty())
        drawBlock(m_sqlText, m_sqlFont);
}
