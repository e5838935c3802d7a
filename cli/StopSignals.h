#pragma once
// Ctrl+C (SIGINT) and SIGTERM while a command talks to a radio: the first asks the
// transfer to stop cleanly, through the event loop (a self-pipe read by a socket
// notifier; the handler itself only writes a byte); a second one ends the program
// at once with exit status 130.
#include <QObject>

class QSocketNotifier;

namespace kestrel::cli {

class StopSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; the destructor puts the previous ones back.
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // Whether a signal has come since construction.
    bool received() const { return m_received; }

signals:
    void stopRequested();

private:
    void onPipe();
    QSocketNotifier* m_notifier = nullptr;
    bool m_received = false;
};

} // namespace kestrel::cli
