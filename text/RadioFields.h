#pragma once
// Every field of the image under a stable English name, the path that `diff` prints
// ("Optional Features / Squelch Level", "Channel 37 / RX Freq"), with the texts the
// views show and the rules they store by. Reading a field tells whether its bytes hold
// a value the views would store; setting fields checks every value strictly (nothing
// is snapped or clamped) and writes nothing when any value is refused. The radio text,
// `kestrel-cli get/set` and anything that sets per-radio fields on an image share it.
#include "core/MemoryImage.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace kestrel::text {

struct TextField;

// How a field reads, checks and stores its value.
struct FieldRules {
    // The text the view shows; `canonical` (when asked for) false when storing that text
    // again would not give the same bytes (the bytes go to the raw section instead). The
    // text of a field that is not canonical is left empty when `canonical` is asked for.
    QString (*read)(const MemoryImage& image, const TextField& field, bool* canonical);
    // Whether `value` may be stored, with its stored form in `normalized` (list texts
    // matched without regard to letter case) or the reason in `error`. Judged on `image`
    // as it stands when the value is stored.
    bool (*check)(const MemoryImage& image, const TextField& field, const QString& value, QString* normalized,
                  QString* error);
    void (*write)(MemoryImage& image, const TextField& field, const QString& normalized);
};

struct TextField {
    QString view;       // "Optional Features", "Channel 37"
    QString name;       // "Squelch Level", "RX Freq"
    QString section;    // the text's top-level key: the view, or "Channels"
    QString group;      // "Group 3" for a channel, empty otherwise
    QStringList items;  // the list a selector offers, in English; empty for typed values
    QString allowed;    // the allowed values in words
    QString sharedWith; // set for a field whose bytes another field owns: why it is refused
    int index = 0;      // the channel index, or the field's own number within its view
    int column = 0;     // the grid column of a channel field
    int order = 0;      // position in the catalogue: fields are stored in this order
    // A selector's place in the image: the bits `mask` of `address`, holding `values[i]`
    // (shifted by `shift`) for item i.
    Address address = 0;
    quint8 mask = 0xFF;
    int shift = 0;
    QList<int> values;
    int length = 0;     // the bytes of a typed value (a DTMF code, a text line)
    const FieldRules* rules = nullptr;

    QString path() const { return view + QStringLiteral(" / ") + name; }
};

// A field's path made comparable: letters in lower case, spaces around "/" dropped.
QString PathKey(const QString& path);

// The fields of every view: channels (grid column order), channel bookkeeping,
// optional features, keys, DTMF, model information, embedded message. Built once.
class FieldCatalogue {
public:
    static const FieldCatalogue& instance();

    const QList<TextField>& fields() const { return m_fields; }
    // The field of a path as `diff` prints it ("Channel 37 / W/N"; "/" without spaces
    // and any letter case accepted); nullptr when there is none.
    const TextField* find(const QString& path) const;
    // The field named exactly as the catalogue writes it (a quick first try before find).
    const TextField* findExact(const QString& view, const QString& name) const;
    // The known path closest to an unknown one (to suggest for a misspelling).
    QString closestPath(const QString& path) const;
    // The 16 fields of channel `index` (0-127), grid column order.
    const TextField* channelField(int index, int column) const;

private:
    FieldCatalogue();
    QList<TextField> m_fields;
    QHash<QString, int> m_byKey;
    QHash<QString, int> m_byPath;
};

// The known word closest to `word` among `candidates` (letter case ignored); empty when
// none is reasonably close.
QString ClosestWord(const QString& word, const QStringList& candidates);

// The text a field shows in `image`; with `canonical`, as FieldRules::read.
QString ReadField(const MemoryImage& image, const TextField& field, bool* canonical = nullptr);

// One value to set, with where it came from (line and column 1-based; 0 when it came
// from a command line).
struct FieldAssignment {
    const TextField* field = nullptr;
    QString value;
    int line = 0;
    int column = 0;
};

// A refused value, key or text, with its place.
struct FieldError {
    int line = 0;
    int column = 0;
    QString message;
    // "12:5: message" (or the message alone without a place).
    QString text() const;
};

// Stores every assignment into `image` in catalogue order, each checked on the image as
// the earlier ones left it (a channel's RX Freq before its other columns). With any
// refusal `image` is left as it was and `errors` lists every refusal.
bool SetFields(MemoryImage& image, QList<FieldAssignment> assignments, QList<FieldError>* errors);

// "Optional Features / Squelch Level=5" into an assignment; false with `error` for a
// missing "=", an unknown path (with the closest known one) or a shared field.
bool ParseAssignment(const QString& text, FieldAssignment* assignment, QString* error);

// "Squelch Level" etc. refused because another view's field owns its bytes.
QString SharedRefusal(const TextField& field);

} // namespace kestrel::text
