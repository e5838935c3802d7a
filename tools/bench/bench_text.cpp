// kestrel-bench-text: how long exporting a full image as text and applying that text
// again takes. Times a programmed image (all 128 channels, every setting) and a damaged
// one (random bytes, most of it in the raw section) and prints the median and the 90th
// percentile of many runs.
//
//   kestrel-bench-text [--runs N]
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/Frequency.h"
#include "text/RadioText.h"
#include "tools/bench/BenchStart.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kestrel;

int main(int argc, char** argv) {
    QCoreApplication qapp(argc, argv);
    AppContext app;
    bench::StartLikeTheProgram(app);
    int runs = 100;
    const QStringList args = qapp.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("--runs") && args[1].toInt() > 0) {
        runs = args[1].toInt();
    } else if (!args.isEmpty()) {
        std::fprintf(stderr, "Usage: kestrel-bench-text [--runs N]\n");
        return 1;
    }
    const text::DefaultImages defaults(app.appFolder);
    MemoryImage programmed;
    QString error;
    if (!defaults.image(0, &programmed, &error)) {
        std::fprintf(stderr, "kestrel-bench-text: %s\n", qPrintable(error));
        return 2;
    }
    for (int n = 0; n < ChannelCount; ++n) {
        CreateChannel(programmed, n, RowOfChannel(n), FrequencyTextOfTenHz(14000000 + n * 1250));
        StoreChannelField(programmed, n, ColDecode, QStringLiteral("D023N"), English);
        programmed.setByte(n, ChannelByte::Options3, quint8(0x70 | (n % 16)));
    }
    QByteArray noise(ImageSize, '\0');
    QRandomGenerator random(28);
    for (char& c : noise)
        c = char(random.bounded(256));
    MemoryImage damaged;
    damaged.setBytes(noise);

    double worstMedian = 0;
    for (const auto& [what, image] : {std::pair{"programmed image", programmed}, std::pair{"random bytes    ", damaged}}) {
        std::vector<double> ms, exportMs;
        qsizetype size = 0;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer t;
            t.start();
            QByteArray text;
            MemoryImage back;
            text::TextApplyResult result;
            const bool exported = text::ExportRadioText(image, defaults, &text, &error);
            exportMs.push_back(double(t.nsecsElapsed()) / 1e6);
            if (!exported || !text::ApplyRadioText(text, back, defaults, &result) || back.bytes() != image.bytes()) {
                std::fprintf(stderr, "kestrel-bench-text: the %s did not come back\n", what);
                return 2;
            }
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
            size = text.size();
        }
        std::sort(ms.begin(), ms.end());
        std::sort(exportMs.begin(), exportMs.end());
        const double median = ms[ms.size() / 2];
        worstMedian = std::max(worstMedian, median);
        std::printf("%s: %6lld bytes of text, export + apply median %.2f ms (export %.2f ms), 90%% within %.2f ms "
                    "(%d runs)\n",
                    what, static_cast<long long>(size), median, exportMs[exportMs.size() / 2], ms[ms.size() * 9 / 10],
                    runs);
    }
    std::printf("goal: under 20 ms; slowest median %.2f ms\n", worstMedian);
    return worstMedian < 20.0 ? 0 : 3;
}
