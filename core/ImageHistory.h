#pragma once
// Undoable steps over the memory image. Every command that changes the image runs its
// change between `ImageChanges::begin` and `end` (or inside a `RecordedStep`); the
// bytes that differ afterwards, before and after, become one named step that the
// history can take back and put again. Bytes changed outside a step (the grid's display
// cleaning, the current channel byte stored before a write, the identification lines
// the radio information view reads) are never part of one.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <functional>

namespace kestrel {

// The name of a step in both languages ("Paste 5 Channels" / "粘贴 5 个信道").
using StepName = BilingualText;

inline StepName StepOf(const TextPair& pair) { return {pair(English), pair(Chinese)}; }

// Consecutive bytes a step changed.
struct ChangedBytes {
    Address address = 0;
    QByteArray before;
    QByteArray after;
};

struct ImageStep {
    StepName name;
    QList<ChangedBytes> runs;

    bool isEmpty() const { return runs.isEmpty(); }
    // Whether any changed byte lies in first..last.
    bool touches(Address first, Address last) const;
    int byteCount() const;
};

// The runs in which `after` differs from `before` (both 8192 bytes).
ImageStep DiffImages(const QByteArray& before, const QByteArray& after, const StepName& name);

// Undo: puts the `before` bytes back. Redo: puts the `after` bytes again. A byte that
// no longer holds the other side was changed outside the history since, and is left
// as it is.
void RevertStep(MemoryImage& image, const ImageStep& step);
void ReapplyStep(MemoryImage& image, const ImageStep& step);

// The one entry point through which every undoable change to the image passes.
class ImageChanges {
public:
    using Sink = std::function<void(const ImageStep&)>;

    // Receives each finished step that changed something; without a sink changes are
    // simply made (the command line, views tested on their own).
    void setSink(Sink sink) { m_sink = std::move(sink); }

    // Opens a step. A step opened inside another joins it: the outermost one is recorded.
    void begin(const MemoryImage& image, const StepName& name);
    // Closes the step; the outermost close hands the changed bytes to the sink.
    void end(const MemoryImage& image);
    bool recording() const { return m_depth > 0; }
    // Names the open step anew (a command that knows its count only at the end).
    void rename(const StepName& name) {
        if (m_depth > 0)
            m_name = name;
    }

private:
    Sink m_sink;
    int m_depth = 0;
    QByteArray m_before;
    StepName m_name;
};

// A step for the lifetime of the object.
class RecordedStep {
public:
    RecordedStep(ImageChanges& changes, const MemoryImage& image, const StepName& name)
        : m_changes(changes), m_image(image) {
        m_changes.begin(m_image, name);
    }
    ~RecordedStep() { m_changes.end(m_image); }
    void rename(const StepName& name) { m_changes.rename(name); }
    RecordedStep(const RecordedStep&) = delete;
    RecordedStep& operator=(const RecordedStep&) = delete;

private:
    ImageChanges& m_changes;
    const MemoryImage& m_image;
};

// "Paste 1 Channel" / "Paste 5 Channels" and "粘贴 5 个信道": a verb and a channel count.
StepName ChannelCountStep(const char* english, const char* chinese, int count);

} // namespace kestrel
