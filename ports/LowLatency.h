#pragma once
// USB-serial adapters hold received bytes until their latency timer runs out (16 ms
// on common FTDI chips), which a stop-and-wait protocol pays on every exchange.
// Linux drivers hand bytes over at once when the port's low-latency flag is set.
#include <QSerialPort>
#include <QString>

namespace kestrel {

// Sets the low-latency flag of an open port. False, with the reason, where the
// driver refuses (a pseudo-terminal does) or the system has no such flag.
bool SetLowLatency(QSerialPort& port, QString* why = nullptr);

// Sets the flag for a transfer on `device`; where the driver refuses, the frame
// trace says so once per device and run, and the transfer goes on without it.
void RequestLowLatency(QSerialPort& port, const QString& device);

} // namespace kestrel
