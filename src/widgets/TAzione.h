#pragma once

#include <functional>

// The one place where a window shows an error: runs what a control of a window does.
// An error raised on the way (database, number or date conversion, XML writer, ...)
// stops it and is shown to the user with its own message; what was done before the
// error stays done. Every window runs its handlers' work through it.
class TAzione {
public:
    TAzione() = delete;

    // True when the action ran to its end.
    static bool esegui(const std::function<void()>& azione);
};
