// Writes the three factory images Default_136174.dat, Default_400470.dat and
// Default_340400.dat into the folder given as the only argument.
//
// Each image is the radio's configuration as it leaves the factory: no channels
// programmed, DTMF and option bytes at sensible values, the band limits and model
// type of its own band.
#include "core/Band.h"
#include "core/MemoryImage.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

using namespace kestrel;

namespace {

void fill(MemoryImage& m, Address from, Address to, quint8 v) {
    for (Address a = from; a <= to; ++a)
        m.setByte(a, v);
}

MemoryImage factoryImage(int bandIndex) {
    MemoryImage m;
    fill(m, 0x0000, ImageSize - 1, 0xFF); // erased memory; every channel empty

    m.setByte(0x0C65, 0x00); // the VFO / call node is shown

    // DTMF signalling
    m.setByte(0x0CF0, 0x01); // side tone on
    m.setByte(0x0CF1, 10);   // transmitting time 100 ms
    m.setByte(0x0CF2, 30);   // pre-carrier time 300 ms
    m.setByte(0x0CF3, 15);   // end code "#"
    m.setByte(0x0CF4, 0xFF); // group code off
    m.setByte(0x0CF5, 50);   // automatic reset 5.0 s
    m.setByte(0x0CFD, 1);    // ANI code 101
    m.setByte(0x0CFE, 0);
    m.setByte(0x0CFF, 1);

    // Channel bookkeeping: current channel 0, no channel valid or scanned yet.
    m.setByte(0x0E18, 0x00);
    fill(m, 0x0E20, 0x0E5F, 0x00);

    m.setByte(0x0F97, bandIndex == 0 ? 0x56 : 0x55); // model type V or U

    EncodeBandLimits(m, BandOfIndex(bandIndex));

    // Keys and optional features
    m.setByte(0x0FD0, 2);    // side key 1 press: Monitor
    m.setByte(0x0FD1, 7);    // side key 2 press: Scan
    m.setByte(0x0FD2, 0xD1); // beep on, battery save on, voice English, scan TO, VOX off, reset allowed
    m.setByte(0x0FD3, 3);    // squelch level 3
    m.setByte(0x0FD4, 6);    // time-out timer 180 s
    m.setByte(0x0FD5, 4);    // VOX gain level 5
    m.setByte(0x0FD6, 2);    // VOX delay 1.0 s
    m.setByte(0x0FD7, 0);    // channel group 1 shown
    m.setByte(0x0FD8, 3);    // side key 1 hold: Monitor Momentary
    m.setByte(0x0FD9, 14);   // side key 2 hold: Tx Power Switch
    m.setByte(0x0FDA, 0);    // tone burst 1750 Hz
    m.setByte(0x0FDB, 1);    // top key: Local Alarm
    m.setByte(0x0FDC, 15);   // long press 1.5 s
    m.TakeImageSnapshot();
    return m;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_default_images OUTPUT_FOLDER\n");
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    for (int band = 0; band < BandCount; ++band) {
        const QString path = out.filePath(DefaultImageName(band));
        QString error;
        if (!factoryImage(band).SaveImageFile(path, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 2;
        }
    }
    return 0;
}
