#pragma once
// The memory map's cells: the texts of the 8192 bytes as the user edits them, with the
// position digits "0"-"F" as column headers and the line numbers "000"-"1FF" as row
// headers (the grid's header row and label column).
#include "settings/MemoryMapRules.h"

#include <QAbstractTableModel>
#include <QVector>

namespace kestrel {

class MemoryMapModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MemoryMapModel(QObject* parent = nullptr);

    // Every cell from the image.
    void load(const MemoryImage& image);
    // Every cell into the image (bytes that are already equal stay untouched).
    void store(MemoryImage& image) const;

    QString cellText(const MapCell& cell) const;
    void setCellText(const MapCell& cell, const QString& text);

    static MapCell cellOf(const QModelIndex& index) { return MapCell{index.row(), index.column()}; }
    QModelIndex indexOf(const MapCell& cell) const { return index(cell.line, cell.position); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    static bool valid(const MapCell& c) {
        return c.line >= 0 && c.line < LineCount && c.position >= 0 && c.position < LineSize;
    }
    QVector<QString> m_cells;
};

} // namespace kestrel
