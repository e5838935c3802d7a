#pragma once
// The File menu's "Recent Files" submenu: the files opened or saved last, newest first.
// The menu lives as long as the window; each new layout's `miRecent` entry gets it.
#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QMenu;
class QWidget;

namespace kestrel {

class RecentFilesMenu : public QObject {
    Q_OBJECT
public:
    explicit RecentFilesMenu(QWidget* window);

    // Hangs the submenu on the layout's entry (nothing when the layout has none).
    void attach(QAction* entry);
    void setFiles(const QStringList& files);

    QMenu* menu() const { return m_menu; }

signals:
    void chosen(const QString& path);

private:
    QMenu* m_menu;
    QPointer<QAction> m_entry; // belongs to the layout, which is rebuilt at every refresh
    bool m_empty = true;
};

// The text of an entry of the submenu: "&1 radio1.dat  (/home/ann/radios)".
QString RecentFileEntryText(int index, const QString& path);

} // namespace kestrel
