#include "shell/WidgetPrompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace kestrel {

namespace {
// A name without a folder of its own ("Untitled") starts in the folder used last.
void StartAt(QFileDialog& dialog, const QString& initialName, const QString& lastFolder) {
    // A folder as the initial name (the backup folder) opens the dialog there.
    if (!initialName.isEmpty() && QFileInfo(initialName).isDir()) {
        dialog.setDirectory(initialName);
        return;
    }
    const bool hasFolder = initialName.contains(QLatin1Char('/')) || initialName.contains(QLatin1Char('\\'));
    if (!hasFolder && !lastFolder.isEmpty() && QFileInfo(lastFolder).isDir())
        dialog.setDirectory(lastFolder);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
}

QString Chosen(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
} // namespace

Prompter::Answer WidgetPrompter::message(const QString& title, const QString& text, Icon icon, Buttons buttons,
                                         Answer defaultAnswer) {
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    struct Map {
        Answer answer;
        QMessageBox::StandardButton button;
    };
    QList<Map> map;
    switch (buttons) {
    case Buttons::Ok: map = {{Answer::Ok, QMessageBox::Ok}}; break;
    case Buttons::OkCancel: map = {{Answer::Ok, QMessageBox::Ok}, {Answer::Cancel, QMessageBox::Cancel}}; break;
    case Buttons::YesNoCancel:
        map = {{Answer::Yes, QMessageBox::Yes}, {Answer::No, QMessageBox::No}, {Answer::Cancel, QMessageBox::Cancel}};
        break;
    case Buttons::RetryCancel:
        map = {{Answer::Retry, QMessageBox::Retry}, {Answer::Cancel, QMessageBox::Cancel}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Map& m : map)
        set |= m.button;
    box.setStandardButtons(set);
    for (const Map& m : map)
        if (m.answer == defaultAnswer)
            box.setDefaultButton(m.button);
    const int result = box.exec();
    for (const Map& m : map)
        if (result == m.button)
            return m.answer;
    // Closed by the frame: the safe answer.
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

QString WidgetPrompter::openFileName(const QString& initialName, const QString& filter) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    dialog.setOption(QFileDialog::ReadOnly, false);
    StartAt(dialog, initialName, lastFolder());
    const QString path = Chosen(dialog);
    noteChosenFile(path);
    return path;
}

QString WidgetPrompter::saveFileName(const QString& initialName, const QString& filter) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(QStringLiteral("dat"));
    StartAt(dialog, initialName, lastFolder());
    const QString path = Chosen(dialog);
    noteChosenFile(path);
    return path;
}

QString WidgetPrompter::saveFileNameOfType(const QString& initialName, const QStringList& filters, int* chosen) {
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    // A name typed without an extension gets the one of the type chosen.
    const auto suffixOf = [](const QString& filter) {
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        return pattern.match(filter).captured(1);
    };
    dialog.setDefaultSuffix(suffixOf(filters.value(0)));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixOf](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    StartAt(dialog, initialName, lastFolder());
    const QString path = Chosen(dialog);
    if (chosen)
        *chosen = qMax(0, int(filters.indexOf(dialog.selectedNameFilter())));
    noteChosenFile(path);
    return path;
}

} // namespace kestrel
