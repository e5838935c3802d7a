#include "shell/frmTreeView.h"

#include "core/Bits.h"
#include "core/StringTable.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrel {

namespace {
constexpr Address NodeFlags = 0x0C65; // bit 7 set hides the VFO / call node
constexpr int KeyRole = Qt::UserRole;

QString NodeText(const QString& key, Language l) {
    if (key == QLatin1String("Item1"))
        return Pick(l, "Channel Information", "信道信息");
    if (key == QLatin1String("Item9"))
        return Pick(l, "VFO", "全频信道") + QStringLiteral(" | Call");
    if (key == QLatin1String("Item2"))
        return Pick(l, "Optional Features", "可选功能");
    if (key == QLatin1String("Item3"))
        return QStringLiteral("DTMF");
    if (key == QLatin1String("Item6"))
        return Pick(l, "Key Assignment", "侧键设定");
    if (key == QLatin1String("Item8"))
        return Pick(l, "Embedded Message", "嵌入信息");
    return QString();
}
} // namespace

frmTreeView::frmTreeView(AppContext& app, QWidget* parent) : QWidget(parent), m_app(app) {
    setObjectName(QStringLiteral("frmTreeView"));
    Tree0 = new QTreeWidget(this);
    Tree0->setObjectName(QStringLiteral("Tree0"));
    Tree0->setHeaderHidden(true);
    Tree0->setColumnCount(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tree0);

    m_root = new QTreeWidgetItem(Tree0, QStringList(m_app.productName));
    m_root->setData(0, KeyRole, QStringLiteral("Root"));
    for (const char* key : {"Item1", "Item2", "Item3", "Item6", "Item8"})
        add(QString::fromLatin1(key), m_root->childCount());
    m_root->setExpanded(true);
    Tree0->setCurrentItem(node(QStringLiteral("Item1")));

    connect(Tree0, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        emit nodeClicked(item->data(0, KeyRole).toString());
    });
    connect(Tree0, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        emit nodeClicked(item->data(0, KeyRole).toString());
    });
}

QTreeWidgetItem* frmTreeView::add(const QString& key, int index) {
    auto* item = new QTreeWidgetItem(QStringList(NodeText(key, m_app.language)));
    item->setData(0, KeyRole, key);
    m_root->insertChild(index, item);
    return item;
}

QTreeWidgetItem* frmTreeView::node(const QString& key) const {
    if (key == QLatin1String("Root"))
        return m_root;
    for (int i = 0; i < m_root->childCount(); ++i)
        if (m_root->child(i)->data(0, KeyRole).toString() == key)
            return m_root->child(i);
    return nullptr;
}

QStringList frmTreeView::keys() const {
    QStringList out;
    for (int i = 0; i < m_root->childCount(); ++i)
        out << m_root->child(i)->data(0, KeyRole).toString();
    return out;
}

void frmTreeView::RefreshDisplay() {
    const Language l = m_app.language;
    Tree0->setAccessibleName(Pick(l, "Navigation", "导航"));
    QTreeWidgetItem* item9 = node(QStringLiteral("Item9"));
    if (GetBit(m_app.image.byte(NodeFlags), 7) == 1) {
        delete item9;
    } else if (item9) {
        item9->setText(0, NodeText(QStringLiteral("Item9"), l));
    } else {
        QTreeWidgetItem* item1 = node(QStringLiteral("Item1"));
        add(QStringLiteral("Item9"), item1 ? m_root->indexOfChild(item1) + 1 : 0);
    }
    m_root->setText(0, m_app.productName);
    for (const char* key : {"Item1", "Item2", "Item6", "Item8"})
        if (QTreeWidgetItem* it = node(QString::fromLatin1(key)))
            it->setText(0, NodeText(QString::fromLatin1(key), l));
}

} // namespace kestrel
