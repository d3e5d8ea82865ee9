#include "gui/platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t terminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGINT);
    return set;
}

void unblockInChild()
{
    TerminationSignals::unblockInThisThread();
}

} // namespace

void TerminationSignals::blockInAllThreads()
{
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    static const bool registered = [] {
        ::pthread_atfork(nullptr, nullptr, &unblockInChild);
        return true;
    }();
    Q_UNUSED(registered);
}

void TerminationSignals::unblockInThisThread()
{
    const sigset_t set = terminationSet();
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool TerminationSignals::blockedInThisThread()
{
    sigset_t current;
    sigemptyset(&current);
    ::pthread_sigmask(SIG_BLOCK, nullptr, &current);
    return sigismember(&current, SIGTERM) == 1 && sigismember(&current, SIGHUP) == 1 &&
           sigismember(&current, SIGINT) == 1;
}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    const sigset_t set = terminationSet();
    fd_ = ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0)
        return;
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignals);
}

TerminationSignals::~TerminationSignals()
{
    delete notifier_;
    if (fd_ >= 0)
        ::close(fd_);
}

void TerminationSignals::readSignals()
{
    signalfd_siginfo info;
    while (::read(fd_, &info, sizeof info) == ssize_t(sizeof info))
        Q_EMIT terminationRequested(int(info.ssi_signo));
}
