#include "shell/RecentFilesMenu.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

namespace kestrel {

QString RecentFileEntryText(int index, const QString& path) {
    const QFileInfo info(path);
    auto literal = [](QString text) { return text.replace(QLatin1Char('&'), QLatin1String("&&")); };
    return QStringLiteral("&%1 %2  (%3)")
        .arg(index + 1)
        .arg(literal(info.fileName()), literal(QDir::toNativeSeparators(info.absolutePath())));
}

RecentFilesMenu::RecentFilesMenu(QWidget* window) : QObject(window), m_menu(new QMenu(window)) {
    m_menu->setObjectName(QStringLiteral("recentFiles"));
    m_menu->setToolTipsVisible(true);
}

void RecentFilesMenu::attach(QAction* entry) {
    m_entry = entry;
    if (!entry)
        return;
    entry->setMenu(m_menu);
    entry->setEnabled(!m_empty);
}

void RecentFilesMenu::setFiles(const QStringList& files) {
    m_menu->clear();
    for (int i = 0; i < files.size(); ++i) {
        QAction* a = m_menu->addAction(RecentFileEntryText(i, files[i]));
        const QString path = files[i];
        a->setData(path);
        a->setToolTip(QDir::toNativeSeparators(path));
        a->setStatusTip(QDir::toNativeSeparators(path));
        connect(a, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
    m_empty = files.isEmpty();
    if (m_entry)
        m_entry->setEnabled(!m_empty);
}

} // namespace kestrel
