#pragma once
// Kestrel's own channel list: a header of column names ("Group,CH,RX Freq,...,TX
// inhibit") and one row per channel with the texts the channel grid shows.
#include "channels/ChannelListReport.h"
#include "channels/CsvText.h"
#include "core/MemoryImage.h"

namespace kestrel {

// The header and the 128 channels, option texts in `language`, LF line ends. A channel
// without transmit side has "Off" ("关") in TX Freq. The image is not changed
// (out-of-band records show as empty rows).
QString KestrelCsvText(const MemoryImage& image, Language language);

// "1 cell where ..." or "3 cells where ...": the count with `rest` after it.
QString CellCount(qsizetype count, const QString& rest);

// Whether a header row is Kestrel's: it names Group or CH (in either language).
bool IsKestrelHeader(const QStringList& header);

// Applies the rows after the header (`records` starts with it). Columns are found by
// name, in any order; Group and CH are required, any other column may be left out and
// leaves its field as it is, as does an empty cell (but an empty RX Freq clears the
// channel), and "Off", "关" or "None" in TX Freq empties the transmit side. Each row goes
// through the paste rules in grid column order: a frequency that is not one of the band
// leaves the row out. A row with fewer cells than the header, whose Group/CH is not a
// channel or names one already given refuses the whole list, and the image stays as it
// was. Cells past the header are ignored (reported once if not empty); the header
// again (its RX Freq or Group cell names the column) is no row.
void ReadKestrelCsv(MemoryImage& image, const QList<CsvRecord>& records, ImportReport& report);

} // namespace kestrel
