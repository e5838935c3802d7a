#pragma once
// The generic CSV of the CHIRP programmer, the interchange format of radio programmers
// and repeater directories: a header beginning "Location,Name,Frequency,Duplex,Offset,
// Tone,..." and one row per memory. Location L is channel L + 1 (group L / 16 + 1, CH
// L % 16 + 1); frequencies and offsets in MHz; tones as a tone mode over the columns
// rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode and CrossMode.
#include "channels/ChannelListReport.h"
#include "channels/CsvText.h"
#include "core/MemoryImage.h"

namespace kestrel {

// The 21 columns written, in order.
QStringList ChirpHeader();

// A row per channel in use (CR LF line ends, no byte-order mark). TX equal to RX gives
// an empty Duplex; up to 70 MHz away "+" or "-" with the offset; farther "split" with
// TX in Offset; TX inhibit on or no TX "off". The tone mode is the first of "", Tone,
// TSQL, DTCS and the Cross modes that gives both tones back. Wide/Narrow is FM/NFM, scan
// Del is Skip "S", power High/Mid/Low 5.0W/2.0W/1.0W. The image is not changed.
QString ChirpCsvText(const MemoryImage& image);

// What the list of ChirpCsvText loses, a line per channel: a TX frequency other than RX
// on a channel with TX inhibit on (the format only says "off").
QList<BilingualText> ChirpExportNotes(const MemoryImage& image);

// Whether a header row is CHIRP's: it names Location and Frequency.
bool IsChirpHeader(const QStringList& header);

// Applies the rows after the header (`records` starts with it), columns found by name
// (unknown ones ignored; a missing one takes its default: no tone mode, tones 88.5 and
// 023, polarity NN, CrossMode Tone->Tone, FM, high power). Each row with an in-band RX
// and TX, a mode FM or NFM and a location 0-127 is stored through the grid's commit
// rules; any other row is skipped with a note (silently when its Frequency is zero, the
// Frequency cell names its column or the row is the header again). An empty cell of a
// column that is there and that the row needs (tone, polarity, Power, Mode) takes the
// default with a note. Fields CHIRP does not carry keep their values, or a new channel's
// defaults.
void ReadChirpCsv(MemoryImage& image, const QList<CsvRecord>& records, ImportReport& report);

} // namespace kestrel
