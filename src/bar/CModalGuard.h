#pragma once

#include <functional>

// Whether one of the bar's modal windows or questions is open. While it is, the commands that could
// change or destroy an element do nothing (Exit is queued instead). Set only through CModalGuard.
class CModalState
{
public:
    bool isOpen() const { return m_depth > 0; }
    // Called each time the last guard goes (the bar runs a queued Exit from here).
    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

private:
    friend class CModalGuard;
    int m_depth = 0;                  // guards alive; modals may nest
    std::function<void()> m_onClosed; // run when m_depth returns to 0
};

// Held for as long as a modal window of the bar is shown: the delete question, the about dialog and
// every later modal (result window, editor, connections, options). Not copyable or movable, so the
// state is released exactly once, when the scope that shows the modal ends.
class CModalGuard
{
public:
    explicit CModalGuard(CModalState &state) : m_state(state) { ++m_state.m_depth; }
    ~CModalGuard()
    {
        if (--m_state.m_depth == 0 && m_state.m_onClosed)
            m_state.m_onClosed();
    }
    CModalGuard(const CModalGuard &) = delete;
    CModalGuard &operator=(const CModalGuard &) = delete;

private:
    CModalState &m_state;
};
