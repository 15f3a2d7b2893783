#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

// Answers the next modal dialog of type T once an event loop runs it: zero-delay timers look for
// the active modal widget. Stops looking when destroyed, so a dialog that never came cannot catch a
// later test's dialog. found() tells whether the dialog was answered.
template <typename T> class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(T *)> answer) : m_state(std::make_shared<State>())
    {
        m_state->answer = std::move(answer);
        schedule(m_state, 200);
    }
    ~ModalAnswer() { m_state->active = false; }
    ModalAnswer(const ModalAnswer &) = delete;
    ModalAnswer &operator=(const ModalAnswer &) = delete;

    bool found() const { return m_state->found; }

private:
    struct State
    {
        std::function<void(T *)> answer;
        bool active = true;
        bool found = false;
    };

    static void schedule(const std::shared_ptr<State> &state, int tries)
    {
        QTimer::singleShot(0, [state, tries] {
            if (!state->active)
                return;
            if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
                state->active = false;
                state->found = true;
                state->answer(dialog);
            } else if (tries > 0) {
                schedule(state, tries - 1);
            }
        });
    }

    std::shared_ptr<State> m_state;
};
