#include "shell/frmCompare.h"

#include "core/ImageCompare.h"
#include "shell/RadioTextFiles.h"
#include "shell/Caption.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kestrel {

namespace {

constexpr int OrderRole = Qt::UserRole;

enum Column { WhereColumn, FieldColumn, OldColumn, NewColumn, ColumnCount };

// The place column sorts by the list's own order (memory order), the others by text.
class Cell : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(OrderRole);
        const QVariant b = other.data(OrderRole);
        if (column() == WhereColumn && a.isValid() && b.isValid())
            return a.toInt() < b.toInt();
        return QTableWidgetItem::operator<(other);
    }
};

} // namespace

frmCompare::frmCompare(const QList<ImageDifference>& differences, const QString& fileName, Language l,
                       QWidget* parent)
    : QDialog(parent), lblSummary(new QLabel(this)), tblDiff(new QTableWidget(this)),
      cmdCopy(new QPushButton(this)), cmdClose(new QPushButton(this)), m_differences(differences),
      m_language(l) {
    setObjectName(QStringLiteral("frmCompare"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowTitle(Pick(l, "Compare With File", "与文件比较"));
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    tblDiff->setObjectName(QStringLiteral("tblDiff"));
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    const int n = int(differences.size());
    lblSummary->setText(
        n == 0 ? Pick(l, "The open image and %1 are equal.", "当前数据与 %1 相同。").arg(fileName)
               : Pick(l, "The open image and %1 differ in %2 places.", "当前数据与 %1 有 %2 处不同。")
                     .arg(fileName)
                     .arg(n));
    tblDiff->setColumnCount(ColumnCount);
    tblDiff->setAccessibleName(Pick(l, "Differences", "不同之处"));
    tblDiff->setHorizontalHeaderLabels({Pick(l, "Where", "位置"), Pick(l, "Field", "项目"),
                                        Pick(l, "Open Image", "当前数据"), Pick(l, "File", "文件")});
    tblDiff->setRowCount(n);
    tblDiff->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblDiff->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblDiff->verticalHeader()->setVisible(false);
    tblDiff->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    auto shown = [l](const QString& t) { return t.isEmpty() ? EmptyFieldText(l) : t; };
    for (int r = 0; r < n; ++r) {
        const ImageDifference& d = differences[r];
        const QString texts[ColumnCount] = {d.where, d.item(l), shown(d.oldText), shown(d.newText)};
        for (int c = 0; c < ColumnCount; ++c) {
            auto* cell = new Cell(texts[c]);
            cell->setData(OrderRole, r);
            tblDiff->setItem(r, c, cell);
        }
    }
    tblDiff->setSortingEnabled(true);
    tblDiff->sortByColumn(WhereColumn, Qt::AscendingOrder);
    tblDiff->resizeColumnsToContents();
    tblDiff->horizontalHeader()->setStretchLastSection(true);

    cmdCopy->setText(Pick(l, "&Copy", "复制(&C)"));
    cmdClose->setText(Pick(l, "Close", "关闭"));
    cmdCopy->setEnabled(n > 0);
    cmdCopy->setAutoDefault(false);
    connect(cmdCopy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(text()); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(tblDiff, 1);
    layout->addLayout(buttons);
    resize(760, 480);
}

QString frmCompare::text() const {
    QStringList lines;
    for (int r = 0; r < tblDiff->rowCount(); ++r) {
        const int index = tblDiff->item(r, WhereColumn)->data(OrderRole).toInt();
        lines << m_differences.value(index).line(m_language);
    }
    return lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CompareWithFile(const AppContext& app, Prompter& prompter, QWidget* parent) {
    const QString path =
        prompter.openFileName(app.currentFileName, OpenFileFilters(app, QStringLiteral("Data File(*.dat)")));
    if (path.isEmpty())
        return;
    MemoryImage other;
    QString error;
    if (!LoadDataOrTextFile(app, path, other, &error)) {
        prompter.inform(app.productName, error, Prompter::Icon::Critical);
        return;
    }
    frmCompare dialog(CompareImages(app.image, other, app.language), FilePartOfName(path), app.language,
                      parent);
    dialog.exec();
}

} // namespace kestrel
