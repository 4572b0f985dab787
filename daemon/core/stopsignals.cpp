#include "stopsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int sPipe[2] = {-1, -1};

}

StopSignals::StopSignals(QObject* parent) : QObject(parent), _notifier(nullptr)
{
    if (sPipe[0] >= 0 || ::pipe2(sPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    _notifier = new QSocketNotifier(sPipe[0], QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &StopSignals::Arrived);

    struct sigaction action = {};
    action.sa_handler = &StopSignals::Handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

StopSignals::~StopSignals()
{
    if (!_notifier)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    delete _notifier;
    _notifier = nullptr;
    ::close(sPipe[0]);
    ::close(sPipe[1]);
    sPipe[0] = sPipe[1] = -1;
}

void StopSignals::Handler(int signal)
{
    const char byte = char(signal);
    ssize_t written = ::write(sPipe[1], &byte, 1);
    (void)written;
}

void StopSignals::Arrived()
{
    char buffer[16];
    while (::read(sPipe[0], buffer, sizeof buffer) > 0) {
    }
    QCoreApplication::quit();
}
