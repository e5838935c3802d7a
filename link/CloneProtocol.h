#pragma once
// The clone protocol's pure rules: frames, reply checks, the next-step rule, the
// progress value and the texts taken from the identification reply. No port, no
// timers; the engine (CloneEngine) drives them.
#include "core/MemoryImage.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace kestrel::clone {

// Transfer direction.
constexpr quint8 Read = 0;
constexpr quint8 Write = 1;
// The read-back after a full write: read frames for the lines a write sends (0-236,
// 252, 253) into a scratch copy; the image is not touched.
constexpr quint8 Verify = 2;

// Clone steps that are not image lines.
constexpr qint16 StepHandshake = -2;
constexpr qint16 StepIdentify = -1;
constexpr qint16 StepEnd = 800;

// Automatic restarts of a handshake that got no valid reply, per transfer.
constexpr int HandshakeRetries = 2;

// A write sends lines 0-236, then only the band limits (the frame of line 252),
// then line 253; lines 237-251 are never written.
constexpr qint16 LastLineBeforeBand = 236;
constexpr qint16 BandLine = 252;
// The radio information lines: 254 is followed by 335.
constexpr qint16 InfoFirstLine = 254;
constexpr qint16 InfoSecondLine = 335;

// First bytes of replies and frames.
constexpr char Ack = 0x06;
constexpr char IdentReply = 0x46;  // 'F'
constexpr char LineReply = 0x57;   // 'W', also the write frame
constexpr char ReadFrame = 0x52;   // 'R'
constexpr char EndFrame = 0x45;    // 'E'

struct Frame {
    QByteArray bytes;
    int replyLength = 0; // bytes the radio answers with (ExpectedReply); 0 = no reply awaited
};

// The frame of a clone step: the handshake, the identification request, the read
// or write frame of image line `step` (write frames carry the image's bytes), or
// the end frame. Any other step gives an empty frame.
Frame BuildFrame(qint16 step, quint8 direction, const MemoryImage& image);

// Whether `reply` has the right first byte for the step (FindReply has already
// matched the rest of its head).
bool ReplyValid(qint16 step, quint8 direction, const QByteArray& reply);

// The step after a valid reply to line `line`: the end when the line is the last
// one, 252 after 236 when writing or verifying, 335 after 254, the next line otherwise. A next
// line beyond `stepExit` also ends the transfer, so a range whose last line is
// skipped over can never run past the end of the image.
qint16 NextStep(qint16 line, quint8 direction, qint16 stepExit);

// Band index of the identification reply's band code: 1 -> 0, 2 -> 1, 3 -> 2,
// anything else -> 0.
int BandIndexOfCode(quint8 code);

// A version pair in BCD: 0x01 0x05 -> "1.5", 0x12 0x30 -> "12.30".
QString VersionText(quint8 first, quint8 second);

// The progress bar value after sending the frame of `step`, or nothing when the
// bar stays as it is (handshake steps, and lines before `stepData`). Always 0-100.
std::optional<int> ProgressValue(qint16 step, qint16 stepData, qint16 stepExit);

// What the radio answers to a frame: the bytes its reply begins with and the
// reply's whole length. Taken from the frame itself, so the reply to a read of any
// line is known: 0x57, the request's own two address bytes and its length byte,
// then that many data bytes. The handshake and every write are answered with 0x06,
// the identification request with 0x46 and six bytes; the end frame (and an empty
// frame) awaits no reply (length 0).
struct ReplyShape {
    QByteArray head;
    int length = 0;
};
ReplyShape ExpectedReply(const QByteArray& frame);

enum class ReplyState {
    None,     // nothing usable yet: nothing, the echo of the frame (or part of it), stray bytes
    Begun,    // a reply has begun (its head and at least one byte more) and runs to the end
    Complete, // a whole reply is in
};

struct FoundReply {
    ReplyState state = ReplyState::None;
    int offset = -1;  // where the reply starts in the received bytes (Begun, Complete)
    QByteArray reply; // the whole reply (Complete)
};

// The framing rule. The bytes received after sending `frame` are read as: possibly
// an echo of the frame (whole, or a leading part of it), stray bytes, the expected
// reply, possibly more stray bytes. The reply is the earliest place where the whole
// expected reply stands, leaving out any place inside the echo: echoed frame bytes
// are never a reply (on a write, echoed data bytes are no acknowledgement). Stray
// bytes may also come before the echo (late bytes of the exchange before).
//
// Where the echo could also be a stray byte followed by the reply (a write whose
// address begins with 0x06, after a stray 0x57), the echo reading wins: the engine
// keeps waiting rather than take a doubtful acknowledgement.
FoundReply FindReply(const QByteArray& received, const QByteArray& frame);

// Texts the engine shows, chosen by the language flag.
QString CaptionText(quint8 direction, quint8 language);
QString ConnectionFailText(quint8 language);
QString BandMismatchText(quint8 language);

} // namespace kestrel::clone
