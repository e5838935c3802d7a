#pragma once
// Verify after write: a second session reads back every line a full write sent
// (lines 0-236, the band-limit line 252 and line 253) and every byte the write
// sent is compared with the radio's. The image, its saved-state copy and the
// backups are not touched. GUI-free, for the main window, kestrel-cli and any
// caller that drives its own engines.
#include "core/ImageDescription.h"
#include "link/CloneEngine.h"

#include <QMap>
#include <optional>

namespace kestrel {

// Whether a full write sends the byte at `address`.
bool FullWriteSends(Address address);

// Sets `engine` up for the read-back of a full write; then Start it as usual.
void SetUpReadBack(CloneEngine& engine, qint16 tickCountMax);

// `sent` with every byte a full write sends replaced by the radio's, from the lines of
// a read-back; nothing when a line is missing.
std::optional<MemoryImage> RadioImageOf(const MemoryImage& sent, const QMap<int, QByteArray>& readBack);

struct VerifyResult {
    enum class Status {
        Matched,     // the radio holds every byte that was sent
        Differs,     // `differences` lists them (sent -> radio)
        NotVerified, // the read-back did not complete
    };
    Status status = Status::NotVerified;
    QList<ImageDifference> differences;
};

// Judges the read-back `engine` has just ended, against the image that was written.
VerifyResult CheckReadBack(const CloneEngine& engine, const MemoryImage& sent, Language language);

// "The radio holds different data:" followed by one line per difference; with
// `maxLines` >= 0 at most that many, then how many more there are.
QString VerifyFailedText(const QList<ImageDifference>& differences, Language language, int maxLines = -1);

} // namespace kestrel
