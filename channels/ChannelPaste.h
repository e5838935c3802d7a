#pragma once
// Rows of cell texts applied to channels as if typed into the grid: the rule behind
// paste in the channel grid and behind the channel imports. Cells are taken in grid
// column order from a first column, in either language; an empty cell leaves its field
// as it is, except an empty RX Freq, which clears the channel. What had to be corrected
// or left out is collected as notes, reported once by the caller.
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
        OutOfRange,  // a frequency outside the band took the band edge
        Tone,        // a tone outside the table was moved onto it (`message`)
        ToneRefused, // a tone outside the table was refused; the field is left as it was
        UnknownText, // not a choice of an option column: the field is left as it was
        NoTransmit,  // an Encode cell for a channel without TX Freq
        NoReceive,   // a cell for a channel without RX Freq
        RowSkipped,  // a row that would create a channel had no RX Freq cell
    };
    Kind kind = OutOfRange;
    int channel = 0;   // channel index 0-127
    int column = 0;    // grid column; 0 for a whole row
    QString written;   // the cell as given
    QString stored;    // what was stored instead (OutOfRange)
    BilingualText message;

    // "Frequency 180 is out of range; 173.99750 is used." and the like.
    BilingualText text() const;
};

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
};

// Applies `cells` to channel `channel` (0-127), cell i to grid column firstColumn + i;
// cells beyond the last option column are ignored. The channel is read (and cleaned)
// as the grid shows it, then each cell goes through the grid's commit rules.
RowOutcome CommitRowTexts(MemoryImage& image, const BandLimits& band, Language language,
                          const QStringList& toneTable, int channel, int firstColumn, const QStringList& cells,
                          QList<CellNote>* notes);

// How many of `rowCount` rows starting at channel index `firstChannel` lie past
// channel 128.
int RowsPastLastChannel(int firstChannel, int rowCount);

struct PasteResult {
    int rows = 0;             // rows applied (not skipped)
    QList<CellNote> notes;
};

// Pastes `rows` from channel index `firstChannel` on, row by row into the following
// channels (across groups); rows past channel 128 are dropped.
PasteResult PasteRows(MemoryImage& image, const BandLimits& band, Language language, const QStringList& toneTable,
                      int firstChannel, int firstColumn, const QList<QStringList>& rows);

// The one message after a paste: a line per note, at most `maxLines`, then how many more.
QString PasteReportText(const QList<CellNote>& notes, Language language, int maxLines = 20);

} // namespace kestrel
