#pragma once
// Kestrel's own channel list: a header of column names ("Group,CH,RX Freq,...,TX
// inhibit") and one row per channel with the texts the channel grid shows.
#include "channels/ChannelListReport.h"
#include "channels/CsvText.h"
#include "core/MemoryImage.h"

namespace kestrel {

// The header and the 128 channels, option texts in `language`, LF line ends. The
// image is not changed (out-of-band records show as empty rows).
QString KestrelCsvText(const MemoryImage& image, Language language);

// Whether a header row is Kestrel's: it names Group or CH (in either language).
bool IsKestrelHeader(const QStringList& header);

// Applies the rows after the header (`records` starts with it). Columns are found by
// name, in any order; Group and CH are required, any other column may be left out and
// leaves its field as it is, as does an empty cell (but an empty RX Freq clears the
// channel). Each row goes through the grid's commit rules in grid column order. A row
// whose cell count differs from the header's, whose Group/CH is not a channel or
// names one already given refuses the whole list, and the image stays as it was.
void ReadKestrelCsv(MemoryImage& image, const QList<CsvRecord>& records, ImportReport& report);

} // namespace kestrel
