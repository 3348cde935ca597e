// No exception may unwind through Qt: every entry point from Qt into Lantern runs inside a guard that shows
// the failure in the application's standard error box and lets Lantern carry on.
#pragma once

#include "app/Messages.h"

#include <QApplication>

#include <exception>
#include <utility>

namespace lantern {

// The text the standard error box shows for the exception being handled.
QString CurrentFailureText();

template <class Fn>
void guarded(TMessages& Messages, Fn&& Step)
{
    try {
        std::forward<Fn>(Step)();
    } catch (...) {
        Messages.Failure(CurrentFailureText());
    }
}

// The application object: delivers every event inside the guard, so a failure in any handler, timer or
// queued call reaches the standard error box instead of ending the program.
class TLanternApplication : public QApplication {
public:
    TLanternApplication(int& Argc, char** Argv);
    bool notify(QObject* Receiver, QEvent* Event) override;
};

} // namespace lantern
