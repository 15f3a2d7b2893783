#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class CVexlorButton;
class CVexlorElement;

// The drawn tool tip of an element button: a blue gradient panel with the bar's text for the
// element, a gold separator and the first fifteen lines of the element's SQL. It shows whatever the
// button it is shown for belongs to, so a tip can never describe another element.
class CElementTip : public QWidget
{
    Q_OBJECT
public:
    explicit CElementTip(QWidget *bar);

    // Shows the tip of button's element near globalPos (below and right of the cursor, kept on the
    // screen); hides it when the element has neither text nor SQL.
    void showTip(CVexlorButton *button, const QPoint &globalPos);
    void hideTip();

    // The button and element of the tip being shown; null when none is shown.
    CVexlorButton *button() const;
    const CVexlorElement *element() const;
    const QString &mainText() const { return m_mainText; }
    const QString &sqlText() const { return m_sqlText; }

    // Fills the tip for button without showing it (for pictures and tests); its size fits the
    // texts.
    void prepare(CVexlorButton *button);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize textBlockSize(const QString &text, const QFont &font) const;

    QPointer<CVexlorButton> m_button; // the tool being shown
    QString m_mainText;               // the bar's text for the element
    QString m_sqlText;                // the first fifteen lines of its SQL
    QFont m_mainFont;
    QFont m_sqlFont;
    QTimer m_hideTimer;
};
