#pragma once

#include <QLabel>

// A one-line label for long values such as file paths: when its room is too narrow it shows the
// text elided in the middle, and the whole text as its tool tip.
class CElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    const QString &fullText() const { return m_full; }

    QSize sizeHint() const override;        // room for the whole text
    QSize minimumSizeHint() const override; // room for a few characters

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateShown();

    QString m_full; // the text as given; text() is what fits
};
