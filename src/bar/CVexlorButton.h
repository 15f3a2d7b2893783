#pragma once

#include <QPushButton>

class CVexlorElement;

// The button of one element on the bar: the element's icon and name in teal. It knows its own
// element and the tool tip text the bar gave it, so a tip always describes this button's element
// whatever the bar order. Mouse moves over it are reported to the bar (hovered).
class CVexlorButton : public QPushButton
{
    Q_OBJECT
public:
    CVexlorButton(CVexlorElement &element, QWidget *parent);

    CVexlorElement &element() const { return *m_element; }

    // The full name shown, left-aligned beside the icon and elided when it does not fit.
    const QString &fullText() const { return m_fullText; }
    void setFullText(const QString &text);

    const QString &tipText() const { return m_tipText; }
    void setTipText(const QString &text) { m_tipText = text; }

signals:
    // The mouse moved over the button with modifiers held.
    void hovered(CVexlorButton *button, Qt::KeyboardModifiers modifiers);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

    CVexlorElement *m_element; // not owned; the element owns this button
    QString m_fullText;        // the element's name
    QString m_tipText;         // the bar's tool tip text for the element
};
