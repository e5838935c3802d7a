// The channel editor on the offscreen platform, driven with real key and mouse events:
// creating, changing and clearing channels, the editors' keys, groups and bands.
#include "tests/channels/GridFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kestrel;
using kestrel::test::ChannelEditor;
using kestrel::test::ScriptedPrompter;

namespace {

TEST_F(ChannelEditor, ShapeAndTexts) {
    EXPECT_EQ(grid()->rowCount(), RowsPerGroup);
    EXPECT_EQ(grid()->columnCount(), ChannelColumnCount);
    EXPECT_TRUE(grid()->isColumnHidden(ColName));
    EXPECT_EQ(grid()->horizontalHeaderItem(ColTxInhibit)->text(), QStringLiteral("TX inhibit"));
    EXPECT_EQ(grid()->item(4, 9)->textAlignment(), int(Qt::AlignCenter));
    for (int r = 1; r <= RowsPerGroup; ++r)
        EXPECT_EQ(cell(r, 0), QString::number(r));
    EXPECT_EQ(view->cboFeature0->count(), ToneCount);
    EXPECT_EQ(view->bandSelectorText(), QStringLiteral("136-174"));
    EXPECT_FALSE(view->txtMemChannel->isVisible() || view->cboFeature0->isVisible() || view->cboFeature1->isVisible());

    app.language = Chinese;
    view->RefreshDisplay();
    EXPECT_EQ(view->fraGeneral->title(), QStringLiteral("整机设置"));
    EXPECT_EQ(grid()->horizontalHeaderItem(ColDecode)->text(), QStringLiteral("接收信令"));
    EXPECT_EQ(view->cboFeature0->itemText(0), QStringLiteral("无"));
}

TEST_F(ChannelEditor, TypingIntoAnEmptyRowCreatesTheChannelEmptyingRxEmptiesIt) {
    typeFrequency(3, ColScan, "146.52"); // any cell of an empty row opens its receive frequency
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_EQ(current(), (GridCell{3, ColTxFreq}));
    EXPECT_EQ(cell(3, ColRxFreq), QStringLiteral("146.52000"));
    EXPECT_EQ(cell(3, ColTxFreq), QStringLiteral("146.52000"));
    EXPECT_EQ(cell(3, ColBandwidth), QStringLiteral("Wide"));
    EXPECT_EQ(app.image.line(2), QByteArray::fromHex("00206514 00206514 ffffffff f8 08 70 fd"));
    EXPECT_TRUE(BitmapBit(app.image, ValidBitmap, 3));
    EXPECT_TRUE(app.image.IsImageModified());

    // Emptying the receive frequency empties the row and the record; the bitmaps stay.
    click(3, ColRxFreq);
    ASSERT_TRUE(view->txtMemChannel->isVisible());
    EXPECT_EQ(view->txtMemChannel->selectedText(), QStringLiteral("146.52000"));
    QTest::keyClick(view->txtMemChannel, Qt::Key_Backspace);
    QTest::keyClick(view->txtMemChannel, Qt::Key_Return);
    for (int c = ColRxFreq; c <= ColTxInhibit; ++c)
        EXPECT_TRUE(cell(3, c).isEmpty()) << "column " << c;
    EXPECT_EQ(app.image.line(2), QByteArray(LineSize, char(0xFF)));
    EXPECT_TRUE(BitmapBit(app.image, ValidBitmap, 3));
}

TEST_F(ChannelEditor, OutOfBandFrequencyIsClampedAfterTheMessage) {
    // Other characters and a tenth one are refused: the editor holds "180.00000".
    typeFrequency(1, ColRxFreq, "1x8-0.000001");
    expectMessage(1, "Frequency is out of range.");
    EXPECT_EQ(cell(1, ColRxFreq), QStringLiteral("173.99750"));
    EXPECT_EQ(DecodeFrequency(app.image, 0, 0), QStringLiteral("173.99750"));
}

TEST_F(ChannelEditor, EscapeRestoresTheCellAndEncodeWithoutTransmitOpensTheTransmitEditor) {
    const QByteArray before = app.image.bytes();
    typeInto(7, ColRxFreq, "160");
    QTest::keyClick(view->txtMemChannel, Qt::Key_Escape);
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_EQ(cell(7, ColRxFreq), QStringLiteral("150.00000"));

    click(7, ColDecode);
    ASSERT_TRUE(view->cboFeature0->isVisible());
    QTest::keyClicks(view->cboFeature0, QStringLiteral("67"));
    EXPECT_EQ(view->cboFeature0->currentText(), QStringLiteral("67"));
    QTest::keyClick(view->cboFeature0, Qt::Key_Escape);
    EXPECT_EQ(view->cboFeature0->currentText(), QStringLiteral("None"));
    view->TransferFocus();
    EXPECT_FALSE(view->cboFeature0->isVisible());
    EXPECT_EQ(app.image.bytes(), before);

    // The encode tone of a channel without transmit frequency opens the transmit editor.
    EXPECT_TRUE(cell(7, ColTxFreq).isEmpty());
    click(7, ColEncode);
    EXPECT_TRUE(view->txtMemChannel->isVisible());
    EXPECT_FALSE(view->cboFeature0->isVisible());
    EXPECT_EQ(current(), (GridCell{7, ColTxFreq}));
    QTest::keyClicks(view->txtMemChannel, QStringLiteral("151.5"));
    QTest::keyClick(view->txtMemChannel, Qt::Key_Enter);
    EXPECT_EQ(cell(7, ColTxFreq), QStringLiteral("151.50000"));
    EXPECT_EQ(current(), (GridCell{7, ColDecode}));
}

TEST_F(ChannelEditor, DigitTypedIntoTheGridStartsAFrequency) {
    grid()->setFocus();
    grid()->setCurrentCell(4, ColTxFreq); // row 5, empty
    QTest::keyClick(grid(), Qt::Key_4);
    ASSERT_TRUE(view->txtMemChannel->isVisible());
    EXPECT_EQ(current(), (GridCell{5, ColRxFreq}));
    EXPECT_EQ(view->txtMemChannel->text(), QStringLiteral("4"));
    EXPECT_EQ(view->txtMemChannel->cursorPosition(), 1);
    QTest::keyClick(view->txtMemChannel, Qt::Key_Escape);

    // Elsewhere a digit does nothing; letters never open an editor.
    grid()->setCurrentCell(6, ColScan);
    QTest::keyClick(grid(), Qt::Key_1);
    QTest::keyClick(grid(), Qt::Key_A);
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_FALSE(view->cboFeature1->isVisible());
    // Enter opens the editor of the current cell.
    QTest::keyClick(grid(), Qt::Key_Return);
    EXPECT_TRUE(view->cboFeature1->isVisible());
}

TEST_F(ChannelEditor, RowNumbersAndHeaderAreNoCellsCtrlAltRightClickAsksForTheMemoryMap) {
    click(7, ColScan);
    view->TransferFocus();
    click(3, 0);
    EXPECT_EQ(current(), (GridCell{7, ColScan}));
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_FALSE(view->cboFeature1->isVisible());
    QWidget* header = grid()->horizontalHeader()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, Qt::NoModifier, header->rect().center());
    EXPECT_EQ(current(), (GridCell{7, ColScan}));

    // Ctrl+Alt+right click at its place on the header, and only there, asks for the memory
    // map (the modifiers and the edges are the hit test's cases).
    QSignalSpy spy(view.get(), &frmChannel::memoryMapRequested);
    const double dpi = grid()->logicalDpiX();
    const QPoint inGrid(int(4700 * dpi / 1440), int(100 * grid()->logicalDpiY() / 1440));
    const QPoint at = header->mapFrom(grid(), inGrid);
    QTest::mouseClick(header, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier, at);
    EXPECT_EQ(spy.count(), 1);
    QTest::mouseClick(header, Qt::RightButton, Qt::ControlModifier | Qt::AltModifier,
                      header->mapFrom(grid(), QPoint(int(3000 * dpi / 1440), inGrid.y())));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(ChannelEditor, ToneEditorCorrectsOptionListStoresAndBothMoveOn) {
    click(7, ColDecode);
    ASSERT_TRUE(view->cboFeature0->isVisible());
    QTest::keyClicks(view->cboFeature0, QStringLiteral("d231"));
    EXPECT_EQ(view->cboFeature0->currentText(), QStringLiteral("D231"));
    QTest::keyClick(view->cboFeature0, Qt::Key_Backspace);
    QTest::keyClick(view->cboFeature0, Qt::Key_Return);
    EXPECT_FALSE(view->cboFeature0->isVisible());
    // D23 pads to D230N, which is no table code: refused, the cell keeps its tone.
    expectMessage(1, "Tone D230N is not in the tone table.");
    EXPECT_EQ(cell(7, ColDecode), QStringLiteral("None"));
    EXPECT_EQ(app.image.byte(6, 9), 0xFF);
    // No encode tone shown in this row: Enter goes on to W/N.
    EXPECT_EQ(current(), (GridCell{7, ColBandwidth}));

    // A QT value between table tones takes the nearest one and stays after a refresh.
    click(7, ColDecode);
    QTest::keyClicks(view->cboFeature0, QStringLiteral("88"));
    QTest::keyClick(view->cboFeature0, Qt::Key_Return);
    expectMessage(2, "Tone 88 is not in the tone table; 88.5 is used.");
    EXPECT_EQ(cell(7, ColDecode), QStringLiteral("88.5"));

    // An option list stores the chosen item.
    click(7, ColBandwidth);
    ASSERT_TRUE(view->cboFeature1->isVisible());
    EXPECT_EQ(view->cboFeature1->count(), 2);
    EXPECT_EQ(view->cboFeature1->currentText(), QStringLiteral("Wide"));
    QTest::keyClick(view->cboFeature1, Qt::Key_Up);
    EXPECT_EQ(view->cboFeature1->currentText(), QStringLiteral("Narrow"));
    QTest::keyClick(view->cboFeature1, Qt::Key_Return);
    EXPECT_EQ(cell(7, ColBandwidth), QStringLiteral("Narrow"));
    EXPECT_EQ(app.image.byte(6, 12) & 0x10, 0);
    EXPECT_EQ(current(), (GridCell{7, ColLockout}));
}

TEST_F(ChannelEditor, LeavingAnEditorCommitsIt) {
    typeInto(7, ColRxFreq, "155");
    click(7, ColPttId);
    EXPECT_EQ(cell(7, ColRxFreq), QStringLiteral("155.00000"));
    EXPECT_EQ(DecodeFrequency(app.image, 6, 0), QStringLiteral("155.00000"));
    ASSERT_TRUE(view->cboFeature1->isVisible());
    view->cboFeature1->setCurrentIndex(view->cboFeature1->findText(QStringLiteral("BOTH")));
    view->CboGroup->setFocus();
    EXPECT_FALSE(view->cboFeature1->isVisible());
    EXPECT_EQ(cell(7, ColPttId), QStringLiteral("BOTH"));
    EXPECT_EQ(app.image.byte(6, 13) & 0x03, 3);

    // Before a command the main window has the open editor committed.
    typeInto(7, ColTxFreq, "152");
    view->TransferFocus();
    EXPECT_FALSE(view->txtMemChannel->isVisible());
    EXPECT_EQ(DecodeFrequency(app.image, 6, 4), QStringLiteral("152.00000"));
}

TEST_F(ChannelEditor, GroupThreeShowsChannels33To48) {
    ASSERT_TRUE(CreateChannel(app.image, 32, 1, QStringLiteral("160.00000")));
    ASSERT_TRUE(CreateChannel(app.image, 47, 16, QStringLiteral("161.00000")));
    // A group chosen with the wheel, the focus still in an editor: the editor is stored first.
    typeInto(7, ColRxFreq, "155");
    view->CboGroup->setCurrentIndex(2);
    EXPECT_EQ(DecodeFrequency(app.image, 6, 0), QStringLiteral("155.00000"));
    EXPECT_EQ(app.image.byte(ShownGroupByte), 2);
    EXPECT_EQ(view->groupIndex(), 2);
    EXPECT_EQ(cell(1, ColRxFreq), QStringLiteral("160.00000"));
    EXPECT_EQ(cell(16, ColRxFreq), QStringLiteral("161.00000"));
    for (int r = 1; r <= RowsPerGroup; ++r)
        EXPECT_EQ(cell(r, 0), QString::number(r));

    // A channel typed into row 5 of group 3 is channel index 36.
    typeFrequency(5, ColRxFreq, "146.52");
    EXPECT_EQ(DecodeFrequency(app.image, 36, 0), QStringLiteral("146.52000"));
    EXPECT_EQ(app.image.line(4), QByteArray(LineSize, char(0xFF)));
    // Row 1 is not looked at for the current channel: row 5 is the first filled one.
    view->SetCurrentCH();
    EXPECT_EQ(app.image.byte(CurrentChannelByte), 4);
}

TEST_F(ChannelEditor, BandChangeOfAnUnmodifiedImageWarnsOnceAndReplacesIt) {
    QSignalSpy refresh(view.get(), &frmChannel::requestRefreshData);
    view->cboGenFreq->setCurrentIndex(0);
    EXPECT_TRUE(prompter.asked.isEmpty()) << "the band already selected is no change";

    view->cboGenFreq->setCurrentIndex(1);
    expectMessage(1, "Frequency data will be cleared.");
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(app.band.index, 1);
    EXPECT_EQ(app.band.lower, 400);
    EXPECT_EQ(view->bandSelectorText(), QStringLiteral("400-470"));
    QByteArray expected = kestrel::test::DefaultImageBytes(1);
    MemoryImage shown;
    shown.setBytes(expected);
    for (int n = 0; n < RowsPerGroup; ++n) // the rows shown were cleaned on display
        ReadChannelForDisplay(shown, BandOfIndex(1), app.toneTable, English, n);
    EXPECT_EQ(app.image.bytes().mid(0x0FC0, 3), QByteArray::fromHex("404700"));
    EXPECT_EQ(app.image.bytes(), shown.bytes());
}

TEST_F(ChannelEditor, BandChangeOverUnsavedWorkCanBeCancelled) {
    typeFrequency(1, ColRxFreq, "146.52");
    ASSERT_TRUE(app.image.IsImageModified());
    const QByteArray work = app.image.bytes();
    QSignalSpy refresh(view.get(), &frmChannel::requestRefreshData);

    prompter.answers = {Prompter::Answer::Cancel};
    view->cboGenFreq->setCurrentIndex(2);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(view->bandSelectorText(), QStringLiteral("136-174"));
    EXPECT_EQ(app.band.index, 0);
    EXPECT_EQ(app.band.upper, 174);
    EXPECT_EQ(app.image.bytes(), work);
    EXPECT_EQ(refresh.count(), 0);
    EXPECT_EQ(cell(1, ColRxFreq), QStringLiteral("146.52000"));

    prompter.answers = {Prompter::Answer::Ok};
    view->cboGenFreq->setCurrentIndex(2);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(app.band.index, 2);
    EXPECT_EQ(app.image.bytes().mid(0x0FC0, 3), QByteArray::fromHex("344000"));
    EXPECT_NE(app.image.bytes(), work);
}

TEST_F(ChannelEditor, BandChangeWithoutItsDefaultImageOrByARadioReadKeepsTheImage) {
    const QByteArray before = app.image.bytes();
    const QString appFolder = app.appFolder;
    app.appFolder = dir.filePath(QStringLiteral("nowhere/"));
    view->cboGenFreq->setCurrentIndex(1);
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].icon, Prompter::Icon::Critical);
    EXPECT_EQ(app.band.index, 0);
    EXPECT_EQ(view->bandSelectorText(), QStringLiteral("136-174"));
    EXPECT_EQ(app.image.bytes(), before);

    // A band chosen by a radio read replaces nothing and asks nothing.
    app.appFolder = appFolder;
    app.radioReadFlag = true;
    view->cboGenFreq->setCurrentIndex(1);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(app.band.index, 1);
    EXPECT_EQ(app.band.lower, 400);
    EXPECT_EQ(app.image.bytes(), before);
}

} // namespace
