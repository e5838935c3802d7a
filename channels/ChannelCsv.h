#pragma once
// Kestrel's own channel list: the 128 channels as CSV, as the channel grid shows them
// (`kestrel-cli channels`), and such a list applied to an image, cell by cell through
// the grid's commit rules (`kestrel-cli import`).
//
// The header is "Group,CH," and the headers of grid columns 1-16; every row names its
// channel by Group (1-8) and CH (1-16). A cell in double quotes may hold commas and
// doubled quotes; blanks around cells, a UTF-8 byte-order mark and CRLF line ends are
// accepted.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrel {

// The lines of the list of `image`: the header, then one line per channel (texts in
// `language`, headers in English). Showing cleans out-of-band records in a copy only.
QStringList WriteChannelList(const MemoryImage& image, Language language);

struct ChannelListReport {
    // Why the list was refused, one line each ("line 3: 3 cells where 18 are expected").
    QStringList problems;
    // What was stored otherwise than written or not stored at all, one line each
    // ("line 4 (group 1, CH 4), RX Freq: \"180\" is out of range, stored as \"173.99750\"").
    QStringList corrections;
};

// Reads the list in `data` (UTF-8) and applies it to `image`: a row's non-empty cells
// are stored as if typed into the grid, RX Freq first; an empty RX Freq clears the
// channel; rows not in the list keep their channels. A list with any malformed line
// (or without the header) is refused as a whole: false, the image unchanged.
bool ImportChannelList(MemoryImage& image, const QByteArray& data, Language language,
                       ChannelListReport* report);

} // namespace kestrel
