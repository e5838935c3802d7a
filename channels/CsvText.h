#pragma once
// Comma-separated text as spreadsheets and other programs write it (or separated by ";"
// or tabs, as some locales and "Unicode text" exports do): the records of a file with
// the line each starts on, and cells written back with quotes where needed.
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel {

struct CsvRecord {
    int line = 0; // line of the text the record starts on, from 1
    QStringList cells;
    BilingualText error; // a quote out of place; the cells read up to it
};

// The records of `text`. A UTF-8 byte-order mark is dropped; lines end in CR LF, LF or
// CR; blank lines, lines of empty cells only and lines starting with "#" are no
// records. A cell in double quotes may hold commas, line ends and doubled quotes ("");
// blanks around a cell are dropped, inside quotes they are kept. A quote that is never
// closed takes the rest of the text into its cell and gives an error; text after a
// closing quote gives an error and the rest of the line is dropped. `separator` may be
// "," (the default), ";" or a tab; at most `maxRecords` are read unless it is negative.
QList<CsvRecord> ReadCsvRecords(const QString& text, QChar separator = QLatin1Char(','), int maxRecords = -1);

// A cell as CSV: in double quotes when it holds a comma, a quote or a line end.
QString CsvCell(const QString& text);
// Cells joined by commas.
QString CsvLine(const QStringList& cells);

} // namespace kestrel
