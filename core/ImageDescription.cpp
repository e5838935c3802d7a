#include "core/ImageDescription.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace kestrel {

namespace {


// A difference with its place in the list: the group of its view (the lowest address
// the view describes, or the byte's own address when no view owns it), fields before
// raw bytes, then field order or address.
struct Placed {
    int group;
    int stage;
    int order;
    ImageDifference difference;
};

} // namespace

void ImageDescription::addField(const QString& where, const QString& label, const QString& text,
                                const ByteSpans& spans) {
    m_fields.append(DescribedField{where, label, text, spans});
}

void ImageDescription::addRegion(const QString& where, Address first, int count) {
    m_regions.append(Region{where, first, count});
}

QString HexAddressText(Address a) {
    return QStringLiteral("0x") + QStringLiteral("%1").arg(a, 4, 16, QLatin1Char('0')).toUpper();
}

QString HexByteText(quint8 b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); }

QString EmptyFieldText(Language language) { return Pick(language, "(empty)", "(空)"); }

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
    QStringList head;
    if (!where.isEmpty())
        head << where;
    const QString it = item(language);
    if (!it.isEmpty())
        head << it;
    auto shown = [&](const QString& t) { return t.isEmpty() ? EmptyFieldText(language) : t; };
    return head.join(QStringLiteral(" / ")) + QStringLiteral(": ") + shown(oldText) + QStringLiteral(" -> ") +
           shown(newText);
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

    ImageDescription da, db;
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

    QList<Placed> placed;
    std::array<quint8, ImageSize> accounted{};
    const int n = int(std::min(fa.size(), fb.size()));
    for (int i = 0; i < n; ++i) {
        const DescribedField& f = fa[i];
        if (f.text == fb[i].text)
            continue;
        for (const ByteSpan& s : f.spans)
            for (Address addr = std::max(s.first, 0); addr < s.first + s.count && addr < ImageSize; ++addr)
                accounted[size_t(addr)] |= s.mask;
        ImageDifference d;
        d.where = f.where;
        d.label = f.label;
        d.oldText = f.text;
        d.newText = fb[i].text;
        const int group = fieldOwner[i] >= 0 ? groupStart[fieldOwner[i]] : 0;
        placed.append(Placed{group, 0, i, d});
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
            placed.append(Placed{groupStart[o], 1, addr, d});
        } else {
            d.kind = ImageDifference::Kind::Bytes;
            placed.append(Placed{addr, 0, -1, d});
        }
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& p, const Placed& q) {
        if (p.group != q.group)
            return p.group < q.group;
        if (p.stage != q.stage)
            return p.stage < q.stage;
        return p.order < q.order;
    });
    QList<ImageDifference> out;
    out.reserve(placed.size());
    for (const Placed& p : placed)
        out << p.difference;
    return out;
}

} // namespace kestrel
