#pragma once

#include <QObject>
#include <QPointer>
#include <QVariant>

// What the windows attach to an element: its button (owned, deleted with the element), its icon (a
// QIcon in a QVariant, since this layer has no GUI types) and the open result window (not owned).
// Copying an element yields empty attachments: a copy never takes the button, icon or window.
class CElementAttachments
{
public:
    CElementAttachments() = default;
    CElementAttachments(const CElementAttachments &) {}
    CElementAttachments &operator=(const CElementAttachments &) { return *this; }
    ~CElementAttachments() { delete m_button.data(); }

    QObject *button() const { return m_button.data(); }
    // Takes ownership of button, deleting the previous one.
    void setButton(QObject *button)
    {
        if (m_button.data() != button)
            delete m_button.data();
        m_button = button;
    }
    // Gives up ownership of the button without deleting it.
    QObject *takeButton()
    {
        QObject *b = m_button.data();
        m_button = nullptr;
        return b;
    }

    const QVariant &icon() const { return m_icon; }
    void setIcon(const QVariant &icon) { m_icon = icon; }

    QObject *resultWindow() const { return m_resultWindow.data(); }
    void setResultWindow(QObject *window) { m_resultWindow = window; }

private:
    QPointer<QObject> m_button;       // owned; a QPointer so a parent that deleted it first is seen
    QVariant m_icon;                  // QIcon set by the bar; empty = the default icon
    QPointer<QObject> m_resultWindow; // set while a run's result window is open
};
