#include "platform/EndSignals.h"

#include "platform/Error.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t writeEnd = -1;

// Only async-signal-safe work here: the number goes down the pipe to the event loop.
void OnSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    if (writeEnd >= 0)
        (void)!write(writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

TEndSignals::TEndSignals(QObject* parent) : QObject(parent) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw EError(QStringLiteral("Signal pipe Error"));
    writeEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TEndSignals::ReadPipe);
}

TEndSignals::~TEndSignals() {
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    for (int signal : kSignals)
        sigaction(signal, &standard, nullptr);
    writeEnd = -1;
    close(pipe_[0]);
    close(pipe_[1]);
}

void TEndSignals::Install() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
}

void TEndSignals::ReadPipe() {
    unsigned char byte = 0;
    while (read(pipe_[0], &byte, 1) == 1)
        emit Received(byte);
}
