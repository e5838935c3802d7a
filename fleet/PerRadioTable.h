#pragma once
// Per-radio values for a fleet write: every radio gets the same image, each with a few
// fields of its own (its DTMF ANI code, its PTT ID codes...). The values come from a
// table read like a channel list (CSV with a header; comma, ";" or tab; UTF-8 with or
// without byte-order mark, UTF-16 with its mark, or GB18030): one key column, `port`
// (a port as the fleet names it) or `esn` (the radio's ESN, image line 254), and one
// column per field, named by its path as `kestrel-cli fields` lists it
// ("DTMF / ANI Code"). A field whose bytes a write does not send (model information,
// the ESN and hardware lines) cannot be a column. Every value is checked with the
// field's rules on the fleet's image when the table is read: any refused cell refuses
// the whole table. GUI-free; kestrel-cli and the fleet window read it alike.
#include "core/MemoryImage.h"
#include "core/StringTable.h"
#include "text/RadioFields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

enum class PerRadioKey { Port, Esn };

struct PerRadioRow {
    int line = 0;  // line of the file the row starts on
    QString key;   // the port or the ESN as the table writes it
    QList<text::FieldAssignment> assignments; // column order, each with its line and column
};

struct PerRadioTable {
    QString fileName;
    PerRadioKey key = PerRadioKey::Port;
    QList<const text::TextField*> fields; // the field columns, in order
    QList<PerRadioRow> rows;

    bool isEmpty() const { return rows.isEmpty(); }
    // The row for a radio on `port` (opening `device`): the key names either, letter
    // case and blanks aside ("Com 5", "COM5"); -1 when none does.
    int findPort(const QString& port, const QString& device) const;
    // The row whose ESN is `esn` (both as EsnKey makes them, compared exactly); -1.
    int findEsn(const QString& esn) const;
    // "DTMF / ANI Code=101;DTMF / PTTID BOT=1101": the row's assignments as the log
    // keeps them.
    QString valuesText(int row) const;
    // `image` with the fields of `row` set, by the rules `kestrel-cli set` uses. False
    // (with `errors`, `image` as it was) when a value is refused.
    bool apply(int row, MemoryImage& image, QList<text::FieldError>* errors = nullptr) const;
};

// An ESN as radios and tables are matched by: trailing blanks and 0xFF fillers dropped.
QString EsnKey(const QString& text);
// The ESN a radio's image holds (line 254, as the radio information view shows it), as EsnKey makes it.
QString RadioEsn(const MemoryImage& image);

// Whether a full write sends every byte of the field: false for the model type, the
// ESN and the hardware version, which stay as the radio has them.
bool WriteSendsField(const text::TextField& field);

// Reads a table from the bytes of a file and checks every value on `image` (the image
// the fleet sends). False with one message per problem in `errors`, each
// "FILE:LINE:COLUMN: what" (FILE being `fileName`).
bool ReadPerRadioTable(const QByteArray& data, const QString& fileName, const MemoryImage& image,
                       PerRadioTable* table, QStringList* errors, Language language = English);
// The same for a file; one that cannot be read, is too large or is no regular file is refused.
bool LoadPerRadioTable(const QString& fileName, const MemoryImage& image, PerRadioTable* table,
                       QStringList* errors, Language language = English);

} // namespace kestrel
