#include "settings/MemoryMapModel.h"

namespace kestrel {

MemoryMapModel::MemoryMapModel(QObject* parent) : QAbstractTableModel(parent), m_cells(ImageSize) {}

void MemoryMapModel::load(const MemoryImage& image) {
    beginResetModel();
    for (Address a = 0; a < ImageSize; ++a)
        m_cells[a] = CellText(image.byte(a));
    endResetModel();
}

void MemoryMapModel::store(MemoryImage& image) const {
    for (Address a = 0; a < ImageSize; ++a)
        image.setByte(a, CellValue(m_cells[a]));
}

QString MemoryMapModel::cellText(const MapCell& cell) const {
    return valid(cell) ? m_cells[cell.address()] : QString();
}

void MemoryMapModel::setCellText(const MapCell& cell, const QString& text) {
    if (!valid(cell))
        return;
    m_cells[cell.address()] = text;
    const QModelIndex i = indexOf(cell);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

int MemoryMapModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : LineCount; }
int MemoryMapModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : LineSize; }

QVariant MemoryMapModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cellText(cellOf(index));
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

QVariant MemoryMapModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    return orientation == Qt::Horizontal ? PositionLabel(section) : LineLabel(section);
}

} // namespace kestrel
