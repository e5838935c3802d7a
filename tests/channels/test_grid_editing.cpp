// The grid like a spreadsheet, on real widgets driven by keys and the mouse: selection,
// the clipboard in the grid's own texts, the row commands, row numbers that stay while
// the grid scrolls sideways, Tab, and editors that keep their keys to themselves.
#include "channels/GridCommands.h"
#include "tests/channels/GridFixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTableView>

using namespace kestrel;
using namespace kestrel::test;
using Answer = Prompter::Answer;

namespace {

class GridEditing : public ChannelEditor {
protected:
    void SetUp() override {
        ChannelEditor::SetUp();
        for (int n : {0, 1, 2})
            ASSERT_TRUE(CreateChannel(app.image, n, n + 1, QStringLiteral("14%1.00000").arg(7 - n)));
        StoreChannelField(app.image, 1, ColBandwidth, QStringLiteral("Narrow"), English);
        view->RefreshData();
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key(k), mods);
    }
    void select(int row, int column) {
        click(row, column);
        view->TransferFocus(); // a plain click opened the editor; the cell stays current
        grid()->setFocus();
    }
    QString clipboard() const { return QApplication::clipboard()->text(); }
    QByteArray records(int first, int count) const { return app.image.bytes().mid(first * 16, count * 16); }
    QByteArray bitmaps() const { return app.image.bytes().mid(ValidBitmap, 0x40); }
};

} // namespace

TEST_F(GridEditing, DragAndShiftSelectWithoutOpeningAnEditorAndCopyTheTexts) {
    QTest::mousePress(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, centre(1, ColRxFreq));
    QTest::mouseMove(grid()->viewport(), centre(2, ColDecode));
    QTest::mouseRelease(grid()->viewport(), Qt::LeftButton, Qt::NoModifier, centre(2, ColDecode));
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    click(3, ColBandwidth, Qt::ShiftModifier);
    EXPECT_FALSE(view->cboFeature1->isVisible());
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("147.00000\t147.00000\tNone\tNone\tWide\n"
                                          "146.00000\t146.00000\tNone\tNone\tNarrow\n"
                                          "145.00000\t145.00000\tNone\tNone\tWide\n"));
    // Ctrl+click adds a cell; the cells between stay empty in the copy; Chinese texts.
    app.language = Chinese;
    view->RefreshData();
    select(1, ColRxFreq);
    click(2, ColBandwidth, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QString::fromUtf8("147.00000\t\t\t\t\n\t\t\t\t窄\n"));
}

TEST_F(GridEditing, PasteFromASpreadsheetStoresCorrectedValuesAndReportsThemOnce) {
    // CR LF line ends, a trailing tab, a value above the band, a Chinese option text.
    QApplication::clipboard()->setText(QString::fromUtf8("146.52\t\t88\t\t窄\t\r\n"
                                                         "180\t146.5\r\n"
                                                         "\t\t67.0\r\n"));
    select(5, ColRxFreq);
    key(Qt::Key_V, Qt::ControlModifier);
    // What each cell stores is the paste rules' business; the grid pastes at the current
    // cell, shows the rows and reports the corrections once.
    EXPECT_EQ(cell(5, ColRxFreq), QStringLiteral("146.52000"));
    EXPECT_EQ(cell(6, ColRxFreq), QString());
    expectMessage(1, "Some pasted values were corrected or left out:\n"
                     "• Channel 5, Decode: Tone 88 is not in the tone table; 88.5 is used.\n"
                     "• Pasted row 2 (channel 6), RX Freq: Frequency 180 is outside the band 136-174 MHz; "
                     "the row is left out.\n"
                     "• Channel 7, Decode: \"67.0\" ignored: the channel has no RX Freq.");
    // The pasted rows are selected.
    EXPECT_TRUE(grid()->selectionModel()->isSelected(grid()->model()->index(5, ColBandwidth)));
}

TEST_F(GridEditing, PastedOrDroppedTextInsideAnOpenEditorGoesThroughItsKeyFilter) {
    QApplication::clipboard()->setText(QStringLiteral("14x6,52"));
    click(9, ColRxFreq);
    ASSERT_TRUE(view->txtMemChannel->isVisible());
    QTest::keyClick(view->txtMemChannel, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->txtMemChannel->text(), QStringLiteral("146.52"));
    QTest::keyClick(view->txtMemChannel, Qt::Key_Escape);
    click(9, ColRxFreq);
    ASSERT_TRUE(view->txtMemChannel->text().isEmpty());
    QMimeData data;
    data.setText(QStringLiteral("1a4b7.5-"));
    // A drop reaches only a widget the drag entered.
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->txtMemChannel, &enter);
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->txtMemChannel, &drop);
    EXPECT_EQ(view->txtMemChannel->text(), QStringLiteral("147.5"));
    if (QApplication::clipboard()->supportsSelection()) {
        QApplication::clipboard()->setText(QStringLiteral("x2"), QClipboard::Selection);
        QTest::mouseClick(view->txtMemChannel, Qt::MiddleButton);
        EXPECT_EQ(view->txtMemChannel->text(), QStringLiteral("147.52"));
    }
    QTest::keyClick(view->txtMemChannel, Qt::Key_Escape);
    click(1, ColDecode);
    QApplication::clipboard()->setText(QStringLiteral("d023n"));
    QTest::keyClick(view->cboFeature0, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view->cboFeature0->currentText(), QStringLiteral("D023N"));
}

// Several cells pasted into an open editor are no text for it: the editor closes
// without storing what was typed, and the grid pastes at its cell as Edit > Paste does,
// in one undo step. Ctrl+C with nothing selected in the editor copies the cell.
TEST_F(GridEditing, SeveralCellsPastedIntoAnOpenEditorGoToTheGrid) {
    QList<ImageStep> steps;
    app.changes.setSink([&](const ImageStep& step) { steps << step; });
    struct Cell {
        int row, column;
        const char* text;
    };
    const struct {
        const char* clipboard;
        Cell at;
        QKeyCombination key;
        QList<Cell> cells;
        const char* step;
    } cases[] = {
        {"146.5\t147.1", {9, ColRxFreq, ""}, Qt::CTRL | Qt::Key_V,
         {{9, ColRxFreq, "146.50000"}, {9, ColTxFreq, "147.10000"}}, "Paste 1 Channel"},
        {"RX Freq\tTX Freq\n150\n151\tOff\n152\n", {10, ColRxFreq, ""}, Qt::SHIFT | Qt::Key_Insert,
         {{10, ColRxFreq, "150.00000"}, {11, ColRxFreq, "151.00000"}, {11, ColTxFreq, ""}, {12, ColRxFreq, "152.00000"}},
         "Paste 3 Channels"},
        {"D023N\t71.9\r\n", {1, ColDecode, ""}, Qt::CTRL | Qt::Key_V,
         {{1, ColDecode, "D023N"}, {1, ColEncode, "71.9"}, {1, ColRxFreq, "147.00000"}}, "Paste 1 Channel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard);
        steps.clear();
        QApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        click(c.at.row, c.at.column);
        QWidget* editor = c.at.column == ColDecode ? static_cast<QWidget*>(view->cboFeature0)
                                                   : static_cast<QWidget*>(view->txtMemChannel);
        ASSERT_TRUE(editor->isVisible());
        if (editor == view->txtMemChannel)
            QTest::keyClicks(editor, QStringLiteral("16"));
        QTest::keyClick(editor, c.key.key(), c.key.keyboardModifiers());
        EXPECT_FALSE(view->txtMemChannel->isVisible() || view->cboFeature0->isVisible());
        for (const Cell& want : c.cells)
            EXPECT_EQ(cell(want.row, want.column), QString::fromLatin1(want.text)) << want.row << " " << want.column;
        ASSERT_EQ(steps.size(), 1);
        EXPECT_EQ(steps[0].name(English), QString::fromLatin1(c.step));
    }
    EXPECT_TRUE(prompter.asked.isEmpty());

    click(9, ColRxFreq);
    view->txtMemChannel->deselect();
    QTest::keyClick(view->txtMemChannel, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("146.50000"));
    view->txtMemChannel->setSelection(0, 3);
    QTest::keyClick(view->txtMemChannel, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("146"));
    // The context menu's Paste takes the same way.
    QApplication::clipboard()->setText(QStringLiteral("148\t"));
    QMenu* menu = view->commands->contextMenu(view.get());
    menu->findChild<QAction*>(QStringLiteral("miPaste"))->trigger();
    delete menu;
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_EQ(cell(9, ColRxFreq), QStringLiteral("148.00000"));
}

TEST_F(GridEditing, PastePastChannel128AsksAndDropsTheRest) {
    view->CboGroup->setCurrentIndex(7);
    QApplication::clipboard()->setText(QStringLiteral("150\n151\n152\n"));
    const QByteArray before = app.image.bytes();
    select(15, ColRxFreq);
    prompter.answers << Answer::Cancel;
    key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(app.image.bytes().left(0x800), before.left(0x800));
    prompter.answers << Answer::Ok;
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cell(15, ColRxFreq), QStringLiteral("150.00000"));
    EXPECT_EQ(cell(16, ColRxFreq), QStringLiteral("151.00000"));
}

TEST_F(GridEditing, CutCopiesThenClearsAndDeleteClears) {
    const QByteArray bits = bitmaps();
    select(2, ColTxFreq);
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), QStringLiteral("146.00000\n"));
    EXPECT_EQ(records(1, 1), QByteArray(16, char(0xFF)));
    EXPECT_EQ(cell(2, ColRxFreq), QString());
    select(1, ColScan);
    click(3, ColScan, Qt::ShiftModifier);
    key(Qt::Key_Delete);
    EXPECT_EQ(records(0, 3), QByteArray(48, char(0xFF)));
    EXPECT_EQ(bitmaps(), bits) << "the bitmaps keep their bits, as when RX Freq is emptied";
}

TEST_F(GridEditing, RowCommandsFromKeysAndTheContextMenu) {
    const QByteArray first = records(0, 1);
    const QByteArray second = records(1, 1);
    select(1, ColRxFreq);
    key(Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(records(0, 2), second + first);
    EXPECT_EQ(current().row, 2) << "the selection moves with the channel";
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(records(0, 2), second + records(1, 1));
    EXPECT_EQ(cell(2, ColRxFreq), QStringLiteral("145.00000"));

    // The context menu holds every command in the current language.
    std::unique_ptr<QMenu> menu(view->commands->contextMenu(view.get()));
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            texts << a->text();
    EXPECT_EQ(texts, (QStringList{"Cut", "Copy", "Paste", "Delete", "Insert Channel", "Delete Channel", "Move Up",
                                  "Move Down", "Sort by RX Freq"}));
    select(1, ColRxFreq);
    menu->findChild<QAction*>(QStringLiteral("miInsertChannel"))->trigger();
    EXPECT_EQ(records(0, 1), QByteArray(16, char(0xFF)));
    EXPECT_EQ(records(1, 1), second);

    // Sort: the selected channels by receive frequency, empty ones last.
    select(1, ColRxFreq);
    click(7, ColRxFreq, Qt::ShiftModifier);
    menu->findChild<QAction*>(QStringLiteral("miSortRx"))->trigger();
    const QStringList sorted{"145.00000", "146.00000", "150.00000", ""};
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(cell(row, ColRxFreq), sorted[row - 1]) << row;

    // Inserting in front of a channel 128 in use asks first.
    ASSERT_TRUE(CreateChannel(app.image, 127, 16, QStringLiteral("160.00000")));
    const QByteArray before = app.image.bytes();
    select(1, ColRxFreq);
    prompter.answers << Answer::Cancel;
    view->commands->run(QStringLiteral("miInsertChannel"));
    expectMessage(1, "Channel 128 is in use and drops off the end of the list. Insert anyway?",
                  Prompter::Icon::Question, Prompter::Buttons::OkCancel);
    EXPECT_EQ(app.image.bytes(), before);
}

TEST_F(GridEditing, RowNumbersStayWhileTheGridScrollsAndSelectWholeChannels) {
    view->resize(600, 500);
    QApplication::processEvents();
    grid()->horizontalScrollBar()->setValue(grid()->horizontalScrollBar()->maximum());
    QApplication::processEvents();
    QTableView* numbers = view->RowNumbers;
    ASSERT_TRUE(numbers->isVisible());
    EXPECT_EQ(numbers->mapTo(grid(), QPoint(0, 0)).x(), grid()->frameWidth());
    EXPECT_EQ(numbers->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("CH"));
    EXPECT_EQ(numbers->width(), grid()->columnWidth(0));
    // A click on a row number selects the row's channel cells; Shift+click extends.
    const auto rowPoint = [&](int row) { return numbers->visualRect(numbers->model()->index(row - 1, 0)).center(); };
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(2));
    QTest::mouseClick(numbers->viewport(), Qt::LeftButton, Qt::ShiftModifier, rowPoint(3));
    key(Qt::Key_C, Qt::ControlModifier);
    const QList<QString> lines = clipboard().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].count(QLatin1Char('\t')), LastOptionColumn - 1);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("145.00000\t")));
}

TEST_F(GridEditing, TabCommitsAndMovesOnShiftTabMovesBack) {
    typeInto(9, ColRxFreq, "150");
    QTest::keyClick(view->txtMemChannel, Qt::Key_Tab);
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_EQ(cell(9, ColRxFreq), QStringLiteral("150.00000"));
    EXPECT_EQ(current(), (GridCell{9, ColTxFreq}));
    EXPECT_TRUE(grid()->hasFocus());
    grid()->setCurrentCell(8, ColTxInhibit);
    key(Qt::Key_Tab);
    EXPECT_EQ(current(), (GridCell{10, ColRxFreq}));
    key(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(current(), (GridCell{9, ColTxInhibit}));
    click(9, ColScan);
    ASSERT_TRUE(view->cboFeature1->isVisible());
    QTest::keyClick(view->cboFeature1, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_FALSE(view->cboFeature1->isVisible());
    EXPECT_EQ(current(), (GridCell{9, ColLockout}));
}

TEST_F(GridEditing, EscapeInAnOpenListClosesItAndStoresNothing) {
    const QByteArray before = app.image.bytes();
    for (int column : {int(ColBandwidth), int(ColDecode)}) {
        click(2, column);
        QComboBox* editor = column == ColDecode ? view->cboFeature0 : view->cboFeature1;
        ASSERT_TRUE(editor->isVisible());
        editor->showPopup();
        QTest::keyClick(editor->view(), Qt::Key_Down);
        QTest::keyClick(editor->view(), Qt::Key_Return); // chosen in the list...
        editor->showPopup();
        QTest::keyClick(editor->view(), Qt::Key_Escape); // ...then Esc with the list open
        EXPECT_FALSE(editor->isVisible()) << column;
        EXPECT_EQ(app.image.bytes(), before) << column;
    }
    EXPECT_EQ(cell(2, ColBandwidth), QStringLiteral("Narrow"));
}

TEST_F(GridEditing, KeysAndTheWheelStayInTheOpenEditor) {
    click(2, ColRxFreq);
    for (int k : {int(Qt::Key_Up), int(Qt::Key_Down), int(Qt::Key_PageDown), int(Qt::Key_PageUp)})
        QTest::keyClick(view->txtMemChannel, Qt::Key(k));
    EXPECT_EQ(current(), (GridCell{2, ColRxFreq}));
    EXPECT_TRUE(view->txtMemChannel->isVisible());
    // The keypad's decimal key gives "." whatever the layout sends (a German keypad sends ",").
    QTest::keyClicks(view->txtMemChannel, QStringLiteral("146"));
    QTest::keyClick(view->txtMemChannel, Qt::Key_Comma, Qt::KeypadModifier);
    QTest::keyClicks(view->txtMemChannel, QStringLiteral("52"));
    QTest::keyClick(view->txtMemChannel, Qt::Key_Return);
    EXPECT_EQ(cell(2, ColRxFreq), QStringLiteral("146.52000"));

    click(2, ColReverse);
    QComboBox* list = view->cboFeature1;
    QTest::keyClick(list, Qt::Key_Right);
    EXPECT_EQ(current(), (GridCell{2, ColReverse}));
    QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &wheel);
    EXPECT_EQ(list->currentText(), QStringLiteral("Off"));
}

TEST_F(GridEditing, ColumnsAreAsWideAsTheirLongestText) {
    for (Language l : {English, Chinese}) {
        app.language = l;
        view->RefreshDisplay();
        const QFontMetrics font = grid()->fontMetrics();
        for (int c = ColRxFreq; c <= LastOptionColumn; ++c) {
            EXPECT_GE(grid()->columnWidth(c), TwipsToPixels(1000, grid()->logicalDpiX()));
            EXPECT_GT(grid()->columnWidth(c),
                      grid()->horizontalHeader()->fontMetrics().horizontalAdvance(ChannelColumnHeader(c, l)));
            for (const QString& t : ChannelOptionList(c, l))
                EXPECT_GT(grid()->columnWidth(c), font.horizontalAdvance(t)) << t.toStdString();
        }
    }
    app.language = English;
    view->RefreshDisplay();
    EXPECT_GT(grid()->columnWidth(ColReverse), grid()->fontMetrics().horizontalAdvance(QStringLiteral("Talk Around")));
}
