#pragma once
// The document's one history: every step recorded by the image's change entry point
// lands on a QUndoStack here. Undo puts a step's bytes back, Redo puts them again, and
// the views are told to re-read the image.
#include "core/AppContext.h"

#include <QObject>
#include <QUndoStack>

namespace kestrel {

class UndoHistory : public QObject {
    Q_OBJECT
public:
    // Steps kept before the oldest ones are forgotten.
    static constexpr int StepLimit = 256;

    UndoHistory(AppContext& app, QObject* parent = nullptr);
    ~UndoHistory() override;

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    // "Undo Paste 5 Channels" from the base caption "Undo"; the base alone when there is
    // nothing to undo.
    QString undoText(const QString& base, Language language) const;
    QString redoText(const QString& base, Language language) const;
    int count() const { return m_stack.count(); }
    int index() const { return m_stack.index(); }

    void undo();
    void redo();
    // A new, empty history (a file was opened).
    void clear();

signals:
    // Something was recorded, undone, redone or the history cleared.
    void changed();
    // Undo or Redo changed the image; `bandTouched` when the band limit bytes were among it.
    void imageRestored(bool bandTouched);

private:
    friend class ImageCommand;
    void record(const ImageStep& step);
    const ImageStep* stepAt(int index) const;

    AppContext& m_app;
    QUndoStack m_stack;
};

} // namespace kestrel
