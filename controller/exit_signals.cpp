#include "controller/exit_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace korvex {
namespace {

constexpr int kExitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// Shared with the handler, which may run on any thread: only lock-free atomics and the pipe.
std::atomic<int> gSignalsSeen{0};
std::atomic<int> gWriteFd{-1};
int gReadFd = -1;
static_assert(std::atomic<int>::is_always_lock_free);

void onExitSignal(int signalNumber) {
    const int savedErrno = errno;
    if (gSignalsSeen.fetch_add(1) > 0) {
        // The second one: end now, by the signal itself, so the parent sees why.
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber);
        errno = savedErrno;
        return;
    }
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    const int fd = gWriteFd.load();
    // The pipe is empty before the first signal, so the byte always fits.
    if (fd >= 0) {
        const ssize_t written = ::write(fd, &byte, 1);
        static_cast<void>(written);
    }
    errno = savedErrno;
}

}  // namespace

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    gReadFd = fds[0];
    gWriteFd.store(fds[1]);
    gSignalsSeen.store(0);
    notifier_ = new QSocketNotifier(gReadFd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::drainPipe);

    struct sigaction action {};
    action.sa_handler = onExitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls resume, so no other code of the program sees EINTR for this.
    action.sa_flags = SA_RESTART;
    for (int s : kExitSignals) {
        // A signal ignored by whoever started the program stays ignored (nohup, a background
        // job of a non-interactive shell): they asked for the program to outlive it.
        struct sigaction previous {};
        if (::sigaction(s, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        if (::sigaction(s, &action, nullptr) == 0)
            handled_ << s;
    }
}

ExitSignals::~ExitSignals() {
    if (!installed())
        return;
    for (int s : handled_)
        ::signal(s, SIG_DFL);
    delete notifier_;
    notifier_ = nullptr;
    ::close(gWriteFd.exchange(-1));
    ::close(gReadFd);
    gReadFd = -1;
}

void ExitSignals::drainPipe() {
    unsigned char byte = 0;
    while (::read(gReadFd, &byte, 1) == 1) {
        if (received_ != 0)
            continue;
        received_ = byte;
        emit leaveRequested(received_);
    }
}

}  // namespace korvex
