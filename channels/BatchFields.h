#pragma once
// The fields of the batch channel editor as plain values, and the rules its text
// boxes follow: which typed characters they take, how a change is clamped, what the
// arrow keys do and how a field is validated when it is left. The dialog only maps
// these values to widgets.
#include "core/Band.h"

#include <QChar>
#include <QString>

namespace kestrel {

enum class BatchRange { All, FromTo };
enum class BatchDirection { Ascending, Descending };
enum class BatchTransmit { SameAsReceive, Offset, OwnStart };
enum class BatchEncode { SameAsDecode, OwnStart };

// A tone walk: start position in the tone option table, random picks or an interval.
struct BatchToneWalk {
    int start = 0;               // 0-260
    bool random = false;
    QString interval = QStringLiteral("0");
    BatchDirection direction = BatchDirection::Ascending;
};

// Every field Apply reads. Texts are held as the boxes show them.
struct BatchValues {
    BatchRange range = BatchRange::All;
    QString firstChannel = QStringLiteral("1");
    QString lastChannel = QStringLiteral("16");

    QString rxStart;             // MHz, "0.00000"
    QString rxStep = QStringLiteral("0"); // kHz
    BatchDirection rxDirection = BatchDirection::Ascending;

    BatchTransmit transmit = BatchTransmit::SameAsReceive;
    QString offset = QStringLiteral("0.00000"); // MHz
    bool offsetMinus = false;
    QString txStart;             // MHz
    QString txStep = QStringLiteral("0"); // kHz
    BatchDirection txDirection = BatchDirection::Ascending;

    BatchToneWalk decode;
    BatchEncode encodeMode = BatchEncode::SameAsDecode;
    BatchToneWalk encode;

    int scan = 0;                // 0 add, 1 delete
    int power = 0;               // 0 high, 1 low
    int lockout = 0;             // 0 off, 1 carrier (BCL), 2 tone (QT/DQT)

    QString channelName;
    bool namedByChannel = false;
};

// The values of a newly created editor: both start frequencies at the lower limit.
BatchValues DefaultBatchValues(const BandLimits& band);

// Which fields can be edited under the current modes.
struct BatchEnabling {
    bool channels;               // first and last channel
    bool offset;                 // offset and its sign
    bool txOwn;                  // transmit start, step and direction
    bool decodeWalk;             // decode start tone, interval and direction
    bool encodeRandom;
    bool encodeWalk;             // encode start tone, interval and direction
};
BatchEnabling EnablingOf(const BatchValues& values);

// The option groups whose choice forces values.
enum class BatchMode { Range, Transmit, Encode };

// The values a mode forces when it is chosen: all channels gives 1-16, transmit
// same as receive resets the transmit side (start at `lowerLimit`), encode same as
// decode resets the encode walk. Other modes change nothing.
void ApplyModeRule(BatchValues& values, BatchMode mode, int lowerLimit);

// The kinds of text box, each with its own keys and validation.
enum class BatchField { ChannelNumber, Frequency, Step, Interval, ChannelName };

// Largest number of characters a box of that kind holds.
int MaxLengthOf(BatchField field);

// What a typed character does: ignored, taken (possibly changed, as a-z to A-Z in
// the name), or Enter, which validates the field and moves on.
struct BatchKey {
    enum Action { Ignore, Accept, Enter } action;
    QChar ch;
};
// `typed` is the character of the key: '\b' Backspace, '\r' Enter, 0x1B Esc.
// `replacesSelection` tells whether the box has a selection the character replaces.
BatchKey FilterBatchKey(BatchField field, const QString& text, bool replacesSelection, QChar typed);

// The text as the whole number of its value ("" gives "0", "07" gives "7"); every
// key press in a channel number or interval box starts with this.
QString WholeNumberText(const QString& text);

// The clamp after every change of a box's text: a channel number above 16 becomes
// "16", a step above 1000 "1000", an interval above 20 "20". Other texts unchanged.
QString ClampOnChange(BatchField field, const QString& text);

// Up (`up` true) lowers the value by one, Down raises it, wrapping round the range:
// channel numbers 1-16, intervals 0-20.
QString StepByArrow(BatchField field, const QString& text, bool up);

// Validation on leaving a box.
QString ValidateChannelNumber(const QString& text);   // "1"-"16"
QString ValidateStep(const QString& text);             // kHz on the channel raster, "0"-"1000"
QString ValidateInterval(const QString& text);         // "0"-"20"

// After one channel field was validated: the other follows so that first <= last.
void LinkChannelRange(BatchValues& values, bool firstWasEdited);

// The channel name box turns pasted text into what could have been typed: printable
// characters up to "z", a-z in capitals, at most 6 of them.
QString CleanChannelName(const QString& text);

} // namespace kestrel
