#include "core/ImageHistory.h"

#include <utility>

namespace kestrel {

bool ImageStep::touches(Address first, Address last) const {
    for (const ChangedBytes& run : runs)
        if (run.address <= last && run.address + run.after.size() - 1 >= first)
            return true;
    return false;
}

int ImageStep::byteCount() const {
    int n = 0;
    for (const ChangedBytes& run : runs)
        n += int(run.after.size());
    return n;
}

ImageStep DiffImages(const QByteArray& before, const QByteArray& after, const StepName& name) {
    ImageStep step;
    step.name = name;
    const int size = int(qMin(before.size(), after.size()));
    int i = 0;
    while (i < size) {
        if (before[i] == after[i]) {
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < size && before[end] != after[end])
            ++end;
        step.runs.append({i, before.mid(i, end - i), after.mid(i, end - i)});
        i = end;
    }
    return step;
}

namespace {
void PutSide(MemoryImage& image, const ImageStep& step, bool undo) {
    for (const ChangedBytes& run : step.runs) {
        const QByteArray& from = undo ? run.after : run.before;
        const QByteArray& to = undo ? run.before : run.after;
        for (int k = 0; k < to.size(); ++k) {
            const Address a = run.address + k;
            if (image.byte(a) == quint8(from[k]))
                image.setByte(a, quint8(to[k]));
        }
    }
}
} // namespace

void RevertStep(MemoryImage& image, const ImageStep& step) { PutSide(image, step, true); }

void ReapplyStep(MemoryImage& image, const ImageStep& step) { PutSide(image, step, false); }

void ImageChanges::begin(const MemoryImage& image, const StepName& name) {
    if (m_depth++ > 0)
        return;
    m_before = image.bytes();
    m_name = name;
}

void ImageChanges::end(const MemoryImage& image) {
    if (m_depth == 0 || --m_depth > 0)
        return;
    const QByteArray before = std::exchange(m_before, QByteArray());
    if (!m_sink || before == image.bytes())
        return;
    m_sink(DiffImages(before, image.bytes(), m_name));
}

StepName ChannelCountStep(const char* english, const char* chinese, int count) {
    const QString en = QString::fromUtf8(english);
    const QString zh = QString::fromUtf8(chinese);
    return {count == 1 ? QStringLiteral("%1 1 Channel").arg(en) : QStringLiteral("%1 %2 Channels").arg(en).arg(count),
            QStringLiteral("%1 %2 个信道").arg(zh).arg(count)};
}

} // namespace kestrel
