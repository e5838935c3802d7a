#pragma once
// Rows of cell texts applied to channels: the rule behind paste in the channel grid and
// behind the channel imports. Cells are taken in grid column order from a first column,
// in either language; an empty cell leaves its field as it is, except an empty RX Freq,
// which clears the channel. Unlike typing, nothing is guessed: a frequency cell that is
// not a number in MHz inside the band refuses its whole row, and a tone cell that is no
// tone leaves its field. What was corrected or left out is collected as notes, reported
// once by the caller.
#include "core/Band.h"
#include "core/ChannelRecord.h"
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

// One correction or omission of a paste or an import.
struct CellNote {
    enum Kind {
        RowRefused,  // a frequency cell is no frequency of the band: the row is left out (`message`)
        Tone,        // a tone outside the table was moved onto it (`message`)
        ToneRefused, // a cell that is no tone of the table; the field is left as it was
        UnknownText, // not a choice of an option column: the field is left as it was
        NoTransmit,  // an Encode cell for a channel without TX Freq
        NoReceive,   // a cell for a channel without RX Freq
        RowSkipped,  // a row that would create a channel had no RX Freq cell
        ExtraCells,  // cells past the last column, said once (`written` holds the first)
    };
    Kind kind = RowRefused;
    int channel = 0;   // channel index 0-127
    int column = 0;    // grid column; 0 for a whole row
    QString written;   // the cell as given
    QString stored;    // what was stored instead (Tone)
    BilingualText message;
    int row = 0;       // pasted row from 1 (0 in an import, whose notes name the line)

    // "Frequency 180 is outside the band 136-174 MHz; the row is left out." and the like.
    BilingualText text() const;
};

// A cell's text for a message: as written, control characters shown as \xNN.
QString Echo(const QString& written);

// The cells of tab-separated text: lines end in CR LF, LF or CR; a final empty line is
// no row; a cell in double quotes loses them ("" stands for one quote); blanks around a
// cell are dropped.
QList<QStringList> ParseTabText(const QString& text);
// Cells joined by tabs, every row ending in a line feed.
QString TabText(const QList<QStringList>& rows);

// The text in `language` of the choice an option cell (columns 5-16) names in either
// language ("宽" or "wide" gives "Wide" in English); empty when it names none.
QString OptionTextOf(int column, const QString& written, Language language);

// What one row did to its channel.
struct RowOutcome {
    bool changed = false;
    bool skipped = false; // left out: an empty channel and no RX Freq cell
    bool refused = false; // left out: a frequency cell is no frequency of the band
};

// Why a frequency cell of a pasted or imported row refuses its row: not a number in MHz
// ("abc", "146.52.1"; a single comma counts as the decimal point) or outside the band.
// Empty for a frequency of the band and for an empty cell.
BilingualText FrequencyRefusal(const BandLimits& band, const QString& written);

// Whether a TX Freq cell says the channel does not transmit: "Off", "关" or "None" (any case).
bool SaysNoTransmit(const QString& written);

// Whether a pasted or imported row is a header row: its cell in `column` is that
// column's name in either language.
bool IsColumnName(const QString& cell, int column);

// Applies `cells` to channel `channel` (0-127), cell i to grid column firstColumn + i;
// cells beyond the last option column are ignored. The channel is read (and cleaned)
// as the grid shows it. A frequency cell that is not a frequency of the band refuses the
// row and nothing is changed; "Off" in TX Freq empties the transmit side; a tone cell
// that is not a number from 60 to 300 or a DCS code (D and up to three digits, or D,
// three digits and N or I) leaves its field. Every other cell goes through the grid's
// commit rules.
RowOutcome CommitRowTexts(MemoryImage& image, const BandLimits& band, Language language,
                          const QStringList& toneTable, int channel, int firstColumn, const QStringList& cells,
                          QList<CellNote>* notes);

// How many of `rowCount` rows starting at channel index `firstChannel` lie past
// channel 128.
int RowsPastLastChannel(int firstChannel, int rowCount);

struct PasteResult {
    int rows = 0;             // rows applied (not skipped or refused)
    QList<CellNote> notes;
};

// The rows without header rows (the first pasted cell names its column).
QList<QStringList> WithoutHeaderRows(const QList<QStringList>& rows, int firstColumn);

// Whether clipboard text is for the grid rather than for an open editor: it holds a tab
// or a line break.
bool IsMultiCellText(const QString& text);

// Pastes `rows` (header rows left out) from channel index `firstChannel` on, row by row
// into the following channels (across groups); rows past channel 128 are dropped.
PasteResult PasteRows(MemoryImage& image, const BandLimits& band, Language language, const QStringList& toneTable,
                      int firstChannel, int firstColumn, const QList<QStringList>& rows);

// The one message after a paste: a line per note, at most `maxLines`, then how many more.
QString PasteReportText(const QList<CellNote>& notes, Language language, int maxLines = 20);

} // namespace kestrel
