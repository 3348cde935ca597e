#include "app/StopSignals.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lantern {

namespace {

int StopPipe[2] = {-1, -1};
bool Stopping = false;

// Only async-signal-safe work here: the event loop does the rest.
void OnStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(StopPipe[1], &byte, 1);
}

} // namespace

void InstallStopSignals()
{
    if (StopPipe[0] >= 0 || ::pipe2(StopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(StopPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char bytes[16];
        while (::read(StopPipe[0], bytes, sizeof bytes) > 0) {
        }
        Stopping = true;
        QApplication::closeAllWindows();
    });
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTERM})
        ::sigaction(signal, &action, nullptr);
}

bool StopRequested()
{
    return Stopping;
}

} // namespace lantern
