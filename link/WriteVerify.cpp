#include "link/WriteVerify.h"

#include "core/Band.h"
#include "link/CloneProtocol.h"
#include "core/ImageCompare.h"

namespace kestrel {

namespace {
constexpr qint16 FirstLine = 0;
constexpr qint16 LastLine = 253;
constexpr int BandByteCount = 3;
} // namespace

bool FullWriteSends(Address address) {
    const int line = address / LineSize;
    if (address < 0 || address >= ImageSize)
        return false;
    if (line == clone::BandLine)
        return address >= BandBytes::Lower && address < BandBytes::Lower + BandByteCount;
    return line <= clone::LastLineBeforeBand || line == LastLine;
}

void SetUpReadBack(CloneEngine& engine, qint16 tickCountMax) {
    engine.setDirection(clone::Verify);
    engine.setTickCountMax(tickCountMax);
    engine.setStepData(FirstLine);
    engine.setStepExit(LastLine);
}

std::optional<MemoryImage> RadioImageOf(const MemoryImage& sent, const QMap<int, QByteArray>& readBack) {
    MemoryImage radio = sent;
    for (qint16 line = FirstLine; line != clone::StepEnd;
         line = clone::NextStep(line, clone::Write, LastLine)) {
        const QByteArray bytes = readBack.value(line);
        if (bytes.size() != LineSize)
            return std::nullopt;
        for (int i = 0; i < LineSize; ++i)
            if (FullWriteSends(LineAddress(line) + i))
                radio.setByte(line, i, quint8(bytes[i]));
    }
    return radio;
}

VerifyResult CheckReadBack(const CloneEngine& engine, const MemoryImage& sent, Language language) {
    VerifyResult result;
    if (engine.direction() != clone::Verify || engine.outcome() != CloneEngine::Outcome::Completed)
        return result;
    const std::optional<MemoryImage> radio = RadioImageOf(sent, engine.readBack());
    if (!radio)
        return result;
    result.differences = CompareImages(sent, *radio, language);
    result.status =
        result.differences.isEmpty() ? VerifyResult::Status::Matched : VerifyResult::Status::Differs;
    return result;
}

QString VerifyFailedText(const QList<ImageDifference>& differences, Language language, int maxLines) {
    QStringList lines{Pick(language, "The radio holds different data:", "电台中的数据不一致：")};
    const int n = int(differences.size());
    const int shown = maxLines < 0 ? n : std::min(n, maxLines);
    for (int i = 0; i < shown; ++i)
        lines << differences[i].line(language);
    if (shown < n)
        lines << Pick(language, "... and %1 more", "…… 另有 %1 处").arg(n - shown);
    return lines.join(QLatin1Char('\n'));
}

} // namespace kestrel
