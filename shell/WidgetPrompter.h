#pragma once
// Message boxes and file dialogs of the GUI.
#include "core/Prompter.h"

class QWidget;

namespace kestrel {

class WidgetPrompter : public Prompter {
public:
    explicit WidgetPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    QString openFileName(const QString& initialName, const QString& filter) override;
    QString saveFileName(const QString& initialName, const QString& filter) override;
    QString saveFileNameOfType(const QString& initialName, const QStringList& filters, int* chosen) override;

private:
    QWidget* m_parent;
};

} // namespace kestrel
