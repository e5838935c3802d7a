#pragma once
// An image in words: every field the views show, as (where, label, text) in a
// language, with the bytes it is read from; and the comparison of two images that
// accounts for every differing byte, by field where a view shows the difference and
// byte by byte where none does.
#include "core/MemoryImage.h"
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

namespace kestrel {

// The bits `mask` of `count` bytes from `first`.
struct ByteSpan {
    Address first = 0;
    int count = 1;
    quint8 mask = 0xFF;
};
using ByteSpans = QVarLengthArray<ByteSpan, 2>;

// One field as a view shows it. `where` names the view or the record ("Optional
// Features", "Channel 37"); `label` is the view's own label ("Squelch Level"), empty
// where the place itself names the field ("Band Limits"). `spans` are the bits the
// text is read from in this image (a DTMF code up to its end mark).
struct DescribedField {
    QString where;
    QString label;
    QString text;
    ByteSpans spans;
};

// What a set of describers makes of one image. Fields come in a fixed order that
// depends only on the language, so the descriptions of two images line up field by
// field. Owned regions name the bytes a view keeps although no field of it shows
// every bit (a channel record's last byte, for example).
class ImageDescription {
public:
    void addField(const QString& where, const QString& label, const QString& text, const ByteSpans& spans);
    void addRegion(const QString& where, Address first, int count);
    void reserve(qsizetype fields) { m_fields.reserve(fields); }

    const QList<DescribedField>& fields() const { return m_fields; }
    struct Region {
        QString where;
        Address first;
        int count;
    };
    const QList<Region>& regions() const { return m_regions; }

private:
    QList<DescribedField> m_fields;
    QList<Region> m_regions;
};

using Describer = void (*)(const MemoryImage& image, Language language, ImageDescription& out);

// One line of a comparison.
struct ImageDifference {
    enum class Kind {
        Field,      // a field shows different texts
        OwnedBytes, // a byte of a view differs although its texts do not
        Bytes,      // a byte no view owns differs
    };
    Kind kind = Kind::Field;
    QString where;        // empty for Kind::Bytes
    QString label;        // Kind::Field only
    Address address = -1; // the byte of Kind::OwnedBytes and Kind::Bytes
    QString oldText;      // the text or the byte ("00") in the first image
    QString newText;      // ... in the second

    // What the second column of a table shows: the label, "bytes: 0x0053" or "0x1234".
    QString item(Language language) const;
    // "<where> / <label>: <old> -> <new>", "Channel 5 / bytes: 0x0053: 00 -> 01",
    // "0x1234: 00 -> FF"; an empty text shows as "(empty)".
    QString line(Language language) const;
};

// "0x0053" and "0F": how a comparison writes addresses and bytes.
QString HexAddressText(Address address);
QString HexByteText(quint8 value);

// The text an empty field shows in a comparison.
QString EmptyFieldText(Language language);

// Every difference between `a` and `b`, described by `describers` in `language`:
// nothing when all 8192 bytes are equal. Fields in description order (a view's
// bytes after its fields), bytes no view owns among them by address.
QList<ImageDifference> CompareImagesWith(const MemoryImage& a, const MemoryImage& b, Language language,
                                         const QList<Describer>& describers);

// The lines of a comparison, one per difference.
QStringList DifferenceLines(const QList<ImageDifference>& differences, Language language);

} // namespace kestrel
