// kestrel-bench-compare: how long comparing two images and listing every difference
// takes. Times three pairs (one field changed, a programmed image against the
// default image, every byte changed) in both languages and prints the median and
// the 90th percentile of many runs (the slowest single run mostly measures how busy
// the machine is).
//
//   kestrel-bench-compare [--runs N]
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "tools/bench/BenchStart.h"
#include "core/ImageCompare.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrel;

namespace {

struct Pair {
    const char* what;
    MemoryImage a;
    MemoryImage b;
};

// All 128 channels programmed, each a little different.
MemoryImage Programmed(const MemoryImage& base) {
    MemoryImage image = base;
    for (int n = 0; n < ChannelCount; ++n) {
        CreateChannel(image, n, RowOfChannel(n), QStringLiteral("%1").arg(140.0 + n * 0.0125, 0, 'f', 5));
        image.setByte(n, ChannelByte::Options3, quint8(0x70 | (n % 16)));
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    AppContext app;
    bench::StartLikeTheProgram(app);
    int runs = 200;
    const QStringList args = qapp.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--runs") && args[1].toInt() > 0) {
        runs = args[1].toInt();
    } else if (!args.isEmpty()) {
        std::fprintf(stderr, "Usage: kestrel-bench-compare [--runs N]\n");
        return 1;
    }
    MemoryImage base;
    QString error;
    if (!LoadDefaultImage(base, 0, app.appFolder, &error)) {
        std::fprintf(stderr, "kestrel-bench-compare: %s\n", qPrintable(error));
        return 2;
    }
    const MemoryImage programmed = Programmed(base);
    MemoryImage oneField = programmed;
    oneField.setByte(0x0FD3, quint8(programmed.byte(0x0FD3) ^ 0x01));
    QByteArray inverted = base.bytes();
    for (char& c : inverted)
        c = char(~c);
    MemoryImage everyByte;
    everyByte.setBytes(inverted);

    const std::vector<Pair> pairs = {{"one field changed      ", programmed, oneField},
                                     {"default vs programmed  ", base, programmed},
                                     {"every byte changed     ", programmed, everyByte}};
    double worstMedian = 0;
    for (const Pair& p : pairs) {
        for (Language l : {English, Chinese}) {
            std::vector<double> ms;
            int lines = 0;
            for (int i = 0; i < runs; ++i) {
                QElapsedTimer t;
                t.start();
                const QStringList list = DifferenceLines(CompareImages(p.a, p.b, l), l);
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
                lines = int(list.size());
            }
            std::sort(ms.begin(), ms.end());
            const double median = ms[ms.size() / 2];
            worstMedian = std::max(worstMedian, median);
            std::printf("%s %s: %4d lines, median %.2f ms, 90%% within %.2f ms (%d runs)\n", p.what,
                        l == English ? "en" : "zh", lines, median, ms[ms.size() * 9 / 10], runs);
        }
    }
    std::printf("goal: under 10 ms; slowest median %.2f ms\n", worstMedian);
    return worstMedian < 10.0 ? 0 : 3;
}
