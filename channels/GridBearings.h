#pragma once
// What keeps the channel grid readable: the row-number column held in place while the
// grid scrolls sideways, and columns as wide as their longest text in the language
// shown.
#include "core/StringTable.h"

#include <QTableView>

class QTableWidget;

namespace kestrel {

// A view of the grid's column 0 laid over it, sharing its model and selection: it does
// not scroll sideways. A click on a row number selects that row's channel cells
// (Shift extends the selection, Ctrl adds to it).
class RowNumberColumn : public QTableView {
    Q_OBJECT
public:
    explicit RowNumberColumn(QTableWidget* grid);
    // Follows the grid's column 0 width, header height and row heights.
    void place();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectRows(int from, int to, bool add);

    QTableWidget* m_grid;
    int m_anchor = -1; // the row a selection of rows started from
};

// Sets every visible column at least as wide as its written width (`twips`) and as its
// header and the longest text it can show in `language`.
void FitColumnWidths(QTableWidget* grid, Language language, const int* twips, int columns);

} // namespace kestrel
