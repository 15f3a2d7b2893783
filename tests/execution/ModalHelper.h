#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Answers the next modal dialog of type T once the event loop runs it: a zero-delay timer that finds
// the active modal widget. Returns a flag set true when the dialog was found.
template <typename T>
std::shared_ptr<bool> answerNextModal(std::function<void(T *)> answer)
{
    auto found = std::make_shared<bool>(false);
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [answer, found, poll](int tries) {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            *found = true;
            answer(dialog);
            *poll = nullptr; // break the self-reference
        } else if (tries > 0) {
            QTimer::singleShot(0, [poll, tries] { if (*poll) (*poll)(tries - 1); });
        }
    };
    QTimer::singleShot(0, [poll] { if (*poll) (*poll)(100); });
    return found;
}
