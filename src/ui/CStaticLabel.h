#pragma once

#include "settings/CLogFont.h"

#include <QUrl>
#include <QWidget>

// A static text that draws itself with three settings of its own: a font made from a font
// description (each new description replaces the font), a text colour as a COLORREF
// (0x00BBGGRR), and a transparent mode in which no background is painted, so the text sits on
// whatever its parent draws.
class CStaticLabel : public QWidget
{
    Q_OBJECT
public:
    explicit CStaticLabel(const QString &text = QString(), QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const { return m_text; }

    // Makes the label's font from description; an all-zero description gives the generic one.
    void setFontDescription(const CLogFont &description);
    // The text colour, 0x00BBGGRR.
    void setTextColor(quint32 colorref);
    quint32 textColor() const { return m_color; }
    void setTransparent(bool transparent);
    bool isTransparent() const { return m_transparent; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static QColor fromColorref(quint32 colorref);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    quint32 m_color = 0; // black
    bool m_transparent = false;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// A static label that opens a link when clicked: underlined, with a hand cursor, sized to its text.
class CLinkLabel : public CStaticLabel
{
    Q_OBJECT
public:
    CLinkLabel(const QString &text, const QUrl &url, QWidget *parent = nullptr);

    QUrl url() const { return m_url; }

signals:
    // Clicked or activated with the keyboard (Space, Enter).
    void activated(const QUrl &url);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QUrl m_url;
};
