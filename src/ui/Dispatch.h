#pragma once
// The one place where errors raised by handlers are caught. Qt treats an exception leaving a
// slot as undefined behaviour, so every signal of every window reaches its handler through
// connectGuarded: the handler runs to its end or to the failing step, whose error is shown in
// the error box; the steps before it stay done.

#include "ui/Dialogs.h"

#include <QObject>

#include <functional>

namespace ui {

// Runs one handler; an exception ends it and is reported through dialogs.
void runGuarded(Dialogs& dialogs, const std::function<void()>& handler);

template <typename Sender, typename Signal, typename Receiver>
QMetaObject::Connection connectGuarded(Dialogs& dialogs, Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)())
{
    return QObject::connect(sender, signal, receiver, [&dialogs, receiver, handler] {
        runGuarded(dialogs, [receiver, handler] { (receiver->*handler)(); });
    });
}

} // namespace ui
