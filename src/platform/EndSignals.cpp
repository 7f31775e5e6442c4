#include "platform/EndSignals.h"

#include "platform/Error.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
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

sigset_t EndSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kSignals)
        sigaddset(&set, signal);
    return set;
}

// Programs started from here get the signals back.
void UnblockInChild() {
    const sigset_t set = EndSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace

// The signals are blocked in this thread and so in every thread it starts later (the database
// engine's among them, which must not be interrupted); one thread of our own waits for them.
TEndSignals::TEndSignals(QObject* parent) : QObject(parent) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0)
        throw EError(QStringLiteral("Signal pipe Error"));
    writeEnd = pipe_[1];
    const sigset_t set = EndSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    static const int once = pthread_atfork(nullptr, nullptr, UnblockInChild);
    (void)once;
    waiter_ = std::thread([this] { Wait(); });
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TEndSignals::ReadPipe);
}

void TEndSignals::Wait() {
    const sigset_t set = EndSet();
    int signal = 0;
    while (sigwait(&set, &signal) == 0 && !stopping_)
        OnSignal(signal);
}

TEndSignals::~TEndSignals() {
    stopping_ = true;
    pthread_kill(waiter_.native_handle(), SIGHUP);
    waiter_.join();
    UnblockInChild();
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
