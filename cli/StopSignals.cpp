#include "cli/StopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kestrel::cli {

namespace {
int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_count = 0;
struct sigaction g_previous[2];
constexpr int Signals[2] = {SIGINT, SIGTERM};

extern "C" void OnStopSignal(int) {
    if (g_count++ > 0)
        ::_exit(130); // the second one: at once
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}
} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (::pipe(g_pipe) != 0)
        return;
    for (int fd : g_pipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    g_count = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::onPipe);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        ::sigaction(Signals[i], &action, &g_previous[i]);
}

StopSignals::~StopSignals() {
    if (g_pipe[0] < 0)
        return;
    for (int i = 0; i < 2; ++i)
        ::sigaction(Signals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void StopSignals::onPipe() {
    char bytes[16];
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
    if (m_received)
        return;
    m_received = true;
    emit stopRequested();
}

} // namespace kestrel::cli
