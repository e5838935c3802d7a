#pragma once
// The navigation tree docked in the main window: one node per editor under a root
// named after the product.
#include "core/AppContext.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

namespace kestrel {

class frmTreeView : public QWidget {
    Q_OBJECT
public:
    explicit frmTreeView(AppContext& app, QWidget* parent = nullptr);

    // Texts of the current language and the presence of Item9 (shown while bit 7 of
    // 0x0C65 is clear, right after Item1).
    void RefreshDisplay();

    QTreeWidget* Tree0;
    QTreeWidgetItem* node(const QString& key) const; // nullptr when absent
    QStringList keys() const;                       // children of Root, in order

signals:
    // A node was clicked; the main window commits the pending cell and acts on the key.
    void nodeClicked(const QString& key);

private:
    QTreeWidgetItem* add(const QString& key, int index);
    AppContext& m_app;
    QTreeWidgetItem* m_root;
};

} // namespace kestrel
