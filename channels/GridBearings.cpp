#include "channels/GridBearings.h"

#include "channels/ChannelCellRules.h"
#include "core/ChannelRecord.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableWidget>

namespace kestrel {

RowNumberColumn::RowNumberColumn(QTableWidget* grid) : QTableView(grid), m_grid(grid) {
    setObjectName(QStringLiteral("RowNumbers"));
    setModel(grid->model());
    setSelectionModel(grid->selectionModel());
    setFocusPolicy(Qt::NoFocus);
    setEditTriggers(NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(grid->verticalScrollMode());
    for (int c = 1; c < grid->columnCount(); ++c)
        setColumnHidden(c, true);
    grid->viewport()->stackUnder(this);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, grid->verticalScrollBar(), &QScrollBar::setValue);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == 0)
            place();
    });
    connect(grid->verticalHeader(), &QHeaderView::sectionResized, this, [this] { place(); });
    grid->installEventFilter(this);
    place();
    show();
}

void RowNumberColumn::place() {
    setColumnWidth(0, m_grid->columnWidth(0));
    horizontalHeader()->setFixedHeight(m_grid->horizontalHeader()->height());
    for (int r = 0; r < m_grid->rowCount(); ++r)
        setRowHeight(r, m_grid->rowHeight(r));
    const int frame = m_grid->frameWidth();
    setGeometry(frame, frame, m_grid->columnWidth(0),
                m_grid->viewport()->height() + m_grid->horizontalHeader()->height());
}

bool RowNumberColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_grid && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest ||
                              event->type() == QEvent::Show))
        place();
    return QTableView::eventFilter(watched, event);
}

void RowNumberColumn::selectRows(int from, int to, bool add) {
    QAbstractItemModel* model = m_grid->model();
    const QItemSelection rows(model->index(qMin(from, to), ColRxFreq), model->index(qMax(from, to), LastOptionColumn));
    m_grid->selectionModel()->setCurrentIndex(model->index(to, ColRxFreq), QItemSelectionModel::NoUpdate);
    m_grid->selectionModel()->select(rows, add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
}

void RowNumberColumn::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if (event->button() != Qt::LeftButton || row < 0)
        return;
    m_grid->setFocus(Qt::MouseFocusReason); // an open editor is stored first
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods.testFlag(Qt::ShiftModifier) && m_anchor >= 0) {
        selectRows(m_anchor, row, mods.testFlag(Qt::ControlModifier));
        return;
    }
    m_anchor = row;
    selectRows(row, row, mods.testFlag(Qt::ControlModifier));
}

void RowNumberColumn::mouseMoveEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint().y());
    if ((event->buttons() & Qt::LeftButton) && row >= 0 && m_anchor >= 0)
        selectRows(m_anchor, row, event->modifiers().testFlag(Qt::ControlModifier));
}

void RowNumberColumn::mouseReleaseEvent(QMouseEvent*) {}

void FitColumnWidths(QTableWidget* grid, Language language, const int* twips, int columns) {
    const QFontMetrics cellFont = grid->fontMetrics();
    const QFontMetrics headerFont = grid->horizontalHeader()->fontMetrics();
    QStyle* style = grid->style();
    const int headerMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid) + 8;
    const int cellMargin = 2 * cellFont.averageCharWidth() + 2;
    for (int c = 0; c < columns; ++c) {
        if (grid->isColumnHidden(c) || twips[c] == 0)
            continue;
        int width = TwipsToPixels(twips[c], grid->logicalDpiX());
        const QString header = ChannelColumnHeader(c, language);
        width = qMax(width, headerFont.horizontalAdvance(header) + headerMargin);
        int text = 0;
        for (const QString& t : ChannelColumnTexts(c, language))
            text = qMax(text, cellFont.horizontalAdvance(t));
        width = qMax(width, text + cellMargin);
        if (c >= ColDecode && c <= LastOptionColumn) {
            // The list editor covers the cell: its text and its arrow must fit.
            QStyleOptionComboBox option;
            option.initFrom(grid);
            option.editable = c <= ColEncode;
            const QSize box = style->sizeFromContents(QStyle::CT_ComboBox, &option,
                                                      QSize(text, cellFont.height()), grid);
            width = qMax(width, box.width());
        }
        grid->setColumnWidth(c, width);
    }
}

} // namespace kestrel
