#pragma once
// What an import of a channel list did: the rows applied and one note for each value
// corrected, value not taken, row skipped, field the radio cannot keep, or reason the
// whole list was refused. The command line prints the notes one per line; the GUI
// shows them in one message.
#include "channels/ChannelPaste.h"
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

// The channel list formats: Kestrel's own CSV (what `kestrel-cli channels` prints) and
// the generic CSV of the CHIRP programmer. Auto finds the format from the header.
enum class ListFormat { Auto, Kestrel, Chirp };

// "No channel was imported." in `language`: every row of a list was left out.
QString NoChannelImported(Language language);

// "Kestrel CSV" / "CHIRP CSV"; empty for Auto.
QString ListFormatName(ListFormat format);

struct ListNote {
    enum Kind {
        Refused,   // the list cannot be applied at all; nothing was changed
        Corrected, // a value was stored corrected (old -> new)
        NotTaken,  // a value was not stored; its field is left as it was
        Skipped,   // a row was left out
        NotStored, // a field the radio cannot keep (said once for the whole list)
        Read,      // how the file was read (an encoding other than UTF-8)
    };
    Kind kind = Refused;
    int line = 0;        // line of the file; 0 for the whole list
    int channel = -1;    // channel index 0-127; -1 when the row names none
    BilingualText field; // the column, when the note is about one cell
    BilingualText text;

    // "line 3 (group 2, CH 7), RX Freq: Frequency 180 is out of range; 173.99750 is used."
    QString describe(Language language) const;
};

struct ImportReport {
    ListFormat format = ListFormat::Auto; // the format read (Auto: none was found)
    int rowsApplied = 0;                  // rows that reached a channel
    QList<ListNote> notes;

    // The list was refused as a whole: the image was not changed.
    bool refused() const;
    int count(ListNote::Kind kind) const;

    void add(ListNote::Kind kind, int line, int channel, const BilingualText& text,
             const BilingualText& field = {});
    // A note about a cell of a grid row, as the grid's commit rules made it.
    void addCellNote(int line, const CellNote& note);
    // Non-empty cells of `cells` past the header's `width` columns, said once per list
    // (`noted` remembers it): the row itself is applied.
    void noteExtraCells(int line, const QStringList& cells, qsizetype width, bool& noted);

    // Every note as one line each, in the order found.
    QStringList lines(Language language) const;
    // The one message of the GUI: what was read and applied, then the notes grouped by
    // kind, at most `maxNotes` of them, then how many more.
    QString text(Language language, const QString& fileName, int maxNotes = 30) const;
};

} // namespace kestrel
