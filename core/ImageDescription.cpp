#include "core/ImageDescription.h"

#include <QHash>

#include <algorithm>
#include <array>
#include <vector>

namespace kestrel {

namespace {

// The place of a difference in the list: the group of its view (the lowest address
// the view describes, or the byte's own address when no view owns it), fields before
// raw bytes, then field order or address. No two differences share a place.
struct Place {
    int group;
    int stage;
    int order;
    int index; // into the differences as found
    bool operator<(const Place& o) const {
        if (group != o.group)
            return group < o.group;
        if (stage != o.stage)
            return stage < o.stage;
        return order < o.order;
    }
};

char HexDigit(int v) {
    return "0123456789ABCDEF"[v & 0xF];
}

} // namespace

void ImageDescription::addField(const QString& where, const QString& label, const QString& text,
                                const ByteSpans& spans) {
    m_fields.append(DescribedField{where, label, text, spans});
}

void ImageDescription::addRegion(const QString& where, Address first, int count) {
    m_regions.append(Region{where, first, count});
}

QString HexAddressText(Address a) {
    const char text[] = {'0', 'x', HexDigit(a >> 12), HexDigit(a >> 8), HexDigit(a >> 4), HexDigit(a)};
    return QString::fromLatin1(text, sizeof text);
}

QString HexByteText(quint8 b) {
    // Shared texts: a comparison of two very different images writes thousands of them.
    static const std::array<QString, 256> texts = [] {
        std::array<QString, 256> t;
        for (int v = 0; v < 256; ++v) {
            const char text[] = {HexDigit(v >> 4), HexDigit(v)};
            t[size_t(v)] = QString::fromLatin1(text, sizeof text);
        }
        return t;
    }();
    return texts[b];
}

QString EmptyFieldText(Language language) {
    return Pick(language, "(empty)", "(空)");
}

QString ImageDifference::item(Language language) const {
    switch (kind) {
    case Kind::Field:
        return label;
    case Kind::OwnedBytes:
        return Pick(language, "bytes", "字节") + QStringLiteral(": ") + HexAddressText(address);
    case Kind::Bytes:
        return HexAddressText(address);
    }
    return QString();
}

QString ImageDifference::line(Language language) const {
    const QString it = item(language);
    const QString before = oldText.isEmpty() ? EmptyFieldText(language) : oldText;
    const QString after = newText.isEmpty() ? EmptyFieldText(language) : newText;
    QString out;
    out.reserve(where.size() + it.size() + before.size() + after.size() + 9);
    out += where;
    if (!where.isEmpty() && !it.isEmpty())
        out += QLatin1String(" / ");
    out += it;
    out += QLatin1String(": ");
    out += before;
    out += QLatin1String(" -> ");
    out += after;
    return out;
}

QStringList DifferenceLines(const QList<ImageDifference>& differences, Language language) {
    QStringList lines;
    lines.reserve(differences.size());
    for (const ImageDifference& d : differences)
        lines << d.line(language);
    return lines;
}

QList<ImageDifference> CompareImagesWith(const MemoryImage& a, const MemoryImage& b, Language language,
                                         const QList<Describer>& describers) {
    const QByteArray& x = a.bytes();
    const QByteArray& y = b.bytes();
    if (x == y)
        return {};

    // Every channel column and a little more: no reallocation while describing.
    constexpr qsizetype ExpectedFields = 2200;
    ImageDescription da, db;
    da.reserve(ExpectedFields);
    db.reserve(ExpectedFields);
    for (Describer describe : describers) {
        describe(a, language, da);
        describe(b, language, db);
    }
    const QList<DescribedField>& fa = da.fields();
    const QList<DescribedField>& fb = db.fields();

    // Who owns each byte (the first view to name it) and where each view's group starts.
    QStringList owners;
    QHash<QString, int> ownerIndex;
    QList<int> groupStart;
    std::array<int, ImageSize> owner;
    owner.fill(-1);
    auto claim = [&](const QString& where, Address first, int count) {
        auto it = ownerIndex.constFind(where);
        int index;
        if (it == ownerIndex.constEnd()) {
            index = int(owners.size());
            ownerIndex.insert(where, index);
            owners << where;
            groupStart << first;
        } else {
            index = it.value();
            groupStart[index] = std::min(groupStart[index], first);
        }
        for (Address addr = std::max(first, 0); addr < first + count && addr < ImageSize; ++addr)
            if (owner[size_t(addr)] < 0)
                owner[size_t(addr)] = index;
        return index;
    };
    QList<int> fieldOwner;
    fieldOwner.reserve(fa.size());
    for (const DescribedField& f : fa) {
        int index = -1;
        for (const ByteSpan& s : f.spans)
            index = claim(f.where, s.first, s.count);
        fieldOwner << index;
    }
    for (const ImageDescription::Region& r : da.regions())
        claim(r.where, r.first, r.count);

    const int n = int(std::min(fa.size(), fb.size()));
    qsizetype differing = 0;
    for (qsizetype i = 0; i < ImageSize; ++i)
        differing += x[i] != y[i];
    QList<ImageDifference> found;
    std::vector<Place> places;
    found.reserve(differing + n);
    places.reserve(size_t(differing + n));
    std::array<quint8, ImageSize> accounted{};
    for (int i = 0; i < n; ++i) {
        const DescribedField& f = fa[i];
        if (f.text == fb[i].text)
            continue;
        // The bytes a text is read from may depend on the bytes themselves (a code
        // ends at its end mark): what either image reads is accounted for.
        for (const ByteSpans* spans : {&f.spans, &fb[i].spans})
            for (const ByteSpan& s : *spans)
                for (Address addr = std::max(s.first, 0); addr < s.first + s.count && addr < ImageSize;
                     ++addr)
                    accounted[size_t(addr)] |= s.mask;
        ImageDifference d;
        d.where = f.where;
        d.label = f.label;
        d.oldText = f.text;
        d.newText = fb[i].text;
        const int group = fieldOwner[i] >= 0 ? groupStart[fieldOwner[i]] : 0;
        places.push_back(Place{group, 0, i, int(found.size())});
        found.append(std::move(d));
    }
    for (Address addr = 0; addr < ImageSize; ++addr) {
        const quint8 before = quint8(x[addr]);
        const quint8 after = quint8(y[addr]);
        if (((before ^ after) & ~accounted[size_t(addr)]) == 0)
            continue;
        ImageDifference d;
        d.address = addr;
        d.oldText = HexByteText(before);
        d.newText = HexByteText(after);
        const int o = owner[size_t(addr)];
        if (o >= 0) {
            d.kind = ImageDifference::Kind::OwnedBytes;
            d.where = owners[o];
            places.push_back(Place{groupStart[o], 1, addr, int(found.size())});
        } else {
            d.kind = ImageDifference::Kind::Bytes;
            places.push_back(Place{addr, 0, -1, int(found.size())});
        }
        found.append(std::move(d));
    }
    std::sort(places.begin(), places.end());
    QList<ImageDifference> out;
    out.reserve(qsizetype(places.size()));
    for (const Place& p : places)
        out.append(std::move(found[p.index]));
    return out;
}

} // namespace kestrel
