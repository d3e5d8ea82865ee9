#include "gui/platform/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end of the self-pipe; -1 while no TerminationSignals object exists. A signal
// handler can reach nothing but globals.
volatile sig_atomic_t g_writeEnd = -1;
int g_readEnd = -1;

void onSignal(int number)
{
    const int fd = g_writeEnd;
    if (fd < 0)
        return;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        return;
    g_readEnd = fds[0];
    g_writeEnd = fds[1];
    notifier_ = new QSocketNotifier(g_readEnd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readPipe);
    install();
}

TerminationSignals::~TerminationSignals()
{
    const int writeEnd = g_writeEnd;
    g_writeEnd = -1;
    if (writeEnd >= 0)
        ::close(writeEnd);
    if (g_readEnd >= 0)
        ::close(g_readEnd);
    g_readEnd = -1;
}

void TerminationSignals::install()
{
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

void TerminationSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(g_readEnd, &byte, 1) == 1)
        Q_EMIT terminationRequested(byte);
}
