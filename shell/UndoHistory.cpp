#include "shell/UndoHistory.h"

#include <QRegularExpression>

#include "core/Band.h"

#include <QUndoCommand>

namespace kestrel {

class ImageCommand : public QUndoCommand {
public:
    ImageCommand(UndoHistory& history, const ImageStep& step)
        : QUndoCommand(step.name.english), m_history(history), m_step(step) {}

    void undo() override { restore(true); }
    void redo() override {
        // The change itself was made before it was recorded.
        if (m_recorded) {
            m_recorded = false;
            return;
        }
        restore(false);
    }
    const ImageStep& step() const { return m_step; }

private:
    void restore(bool undo) {
        if (undo)
            RevertStep(m_history.m_app.image, m_step);
        else
            ReapplyStep(m_history.m_app.image, m_step);
        emit m_history.imageRestored(m_step.touches(BandBytes::Lower, BandBytes::Units));
    }

    UndoHistory& m_history;
    ImageStep m_step;
    bool m_recorded = true;
};

UndoHistory::UndoHistory(AppContext& app, QObject* parent) : QObject(parent), m_app(app) {
    m_stack.setUndoLimit(StepLimit);
    m_app.changes.setSink([this](const ImageStep& step) { record(step); });
    connect(&m_stack, &QUndoStack::indexChanged, this, &UndoHistory::changed);
}

UndoHistory::~UndoHistory() { m_app.changes.setSink({}); }

void UndoHistory::record(const ImageStep& step) { m_stack.push(new ImageCommand(*this, step)); }

const ImageStep* UndoHistory::stepAt(int index) const {
    if (index < 0 || index >= m_stack.count())
        return nullptr;
    return &static_cast<const ImageCommand*>(m_stack.command(index))->step();
}

namespace {
// "Undo(&U)" and "Paste" give "Undo Paste(&U)": the access key stays last.
QString WithStep(const QString& base, const ImageStep* step, Language language) {
    if (!step)
        return base;
    static const QRegularExpression key(QStringLiteral("\\(&[^)]\\)$"));
    const QRegularExpressionMatch m = key.match(base);
    const int at = m.hasMatch() ? int(m.capturedStart()) : int(base.size());
    return base.left(at) + QLatin1Char(' ') + step->name(language) + base.mid(at);
}
} // namespace

QString UndoHistory::undoText(const QString& base, Language language) const {
    return WithStep(base, stepAt(m_stack.index() - 1), language);
}

QString UndoHistory::redoText(const QString& base, Language language) const {
    return WithStep(base, stepAt(m_stack.index()), language);
}

void UndoHistory::undo() { m_stack.undo(); }

void UndoHistory::redo() { m_stack.redo(); }

void UndoHistory::clear() {
    m_stack.clear();
    emit changed();
}

} // namespace kestrel
