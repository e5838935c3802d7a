#pragma once
// Channel lists in and out: the one entry point of every import (the GUI, kestrel-cli
// import) and export (the GUI, kestrel-cli channels), for Kestrel's own CSV and the
// CHIRP generic CSV.
#include "channels/ChannelListReport.h"
#include "core/MemoryImage.h"

#include <QByteArray>
#include <optional>

namespace kestrel {

// The largest file taken as a channel list.
constexpr qint64 MaxChannelListBytes = 16 * 1024 * 1024;

// "kestrel" or "chirp" (any case); nothing for another name.
std::optional<ListFormat> ListFormatOfName(const QString& name);

// Reads `data` (the bytes of a file) as a channel list of `format` (Auto: found from the
// header: CHIRP's names Location and Frequency, Kestrel's Group and CH) and applies it to
// the channels of `image` in its band. The text is UTF-8 (with or without byte-order
// mark), UTF-16 with its mark, or GB18030 when it is not UTF-8 but decodes as GB18030
// throughout (said in a note); the cells are separated by the first of ",", ";" and tab
// that makes the first line a header, and in a list separated by ";" or tabs a number
// with one comma and no point takes the comma as its decimal point. A list that is
// refused (other bytes, no channel list, a malformed Kestrel list) leaves the image as
// it was.
ImportReport ImportChannelList(MemoryImage& image, const QByteArray& data,
                               ListFormat format = ListFormat::Auto);

// The text of a list file's bytes: UTF-8 (with or without byte-order mark), UTF-16 with
// its mark, or GB18030 when the bytes are not UTF-8 but are GB18030 throughout (said in
// a note). Nothing, with the reason refused in `report`, for anything else. Other
// tables read like a channel list (the fleet's per-radio values) decode through it.
std::optional<QString> DecodeListText(const QByteArray& data, ImportReport& report);

// The same for a file; a file that cannot be read or is too large is refused.
ImportReport ImportChannelListFile(MemoryImage& image, const QString& fileName,
                                   ListFormat format = ListFormat::Auto);

// The bytes of the channel list of `image` (UTF-8): Kestrel's own (Auto too) with option
// texts in `language`, or CHIRP's. The image is not changed.
QByteArray ExportChannelList(const MemoryImage& image, ListFormat format, Language language);

// What the list of ExportChannelList in `format` does not keep, a line per channel.
QList<BilingualText> ExportNotes(const MemoryImage& image, ListFormat format);

// The channels that are not empty (the rows of a CHIRP list).
int ChannelsInUse(const MemoryImage& image);

// Writes through a temporary file renamed over the old one: a failed write leaves the
// old file as it was. False with the system's `reason` otherwise.
bool WriteChannelListFile(const QString& fileName, const QByteArray& data, QString* reason);

} // namespace kestrel
