#include "text/RadioText.h"

#include "core/Band.h"
#include "core/ChannelDescription.h"
#include "core/ChannelRecord.h"
#include "core/ImageDescription.h"
#include "core/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <deque>
#include <sstream>
#include <vector>
#include <cctype>
#include <cstring>
#include <ostream>

namespace kestrel::text {

namespace {

const QString FormatKey = QStringLiteral("format");
const QString BaseKey = QStringLiteral("base");
const QString BandKey = QStringLiteral("band");
const QString RawKey = QStringLiteral("raw");
const QString ChannelsKey = QStringLiteral("Channels");

std::string Std(const QString& s) { return s.toStdString(); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

struct Written {
    const TextField* field;
    QString text;
};

// The fields written for `image`, each stored in turn onto `base` exactly as applying the
// text will: a field the rules would refuse there is left to the raw bytes. Channel
// columns depend on each other: no channel without its receive frequency, no Encode
// without the transmit side.
QList<Written> StoreOnto(MemoryImage& base, const MemoryImage& image) {
    QList<Written> written;
    const FieldCatalogue& catalogue = FieldCatalogue::instance();
    written.reserve(catalogue.fields().size());
    bool channelKept = false, transmitKept = false;
    for (const TextField& f : catalogue.fields()) {
        if (!f.sharedWith.isEmpty() || (f.column > ColRxFreq && !channelKept) ||
            (f.column == ColEncode && !transmitKept))
            continue;
        bool canonical = false;
        const QString text = ReadField(image, f, &canonical);
        if (f.column == ColRxFreq)
            channelKept = canonical;
        if (f.column == ColTxFreq)
            transmitKept = canonical;
        if (!canonical)
            continue;
        QString normalized, error;
        if (!f.rules->check(base, f, text, &normalized, &error) || normalized != text) {
            if (f.column == ColRxFreq)
                channelKept = false;
            if (f.column == ColTxFreq)
                transmitKept = false;
            continue;
        }
        f.rules->write(base, f, normalized);
        written.append({&f, text});
    }
    return written;
}

QString HexBytes(const QByteArray& bytes) {
    QString out;
    for (int i = 0; i < bytes.size(); ++i) {
        if (i)
            out += QLatin1Char(' ');
        out += HexByteText(quint8(bytes[i]));
    }
    return out;
}

// A scalar the emitter may write as it stands. The emitter tries every string it is
// given against its rules for plain scalars, character by character, which took a third
// of the export; texts made only of characters those rules never object to skip that.
struct PlainScalar {
    const std::string& text;
};

std::ostream& operator<<(std::ostream& out, const PlainScalar& s) { return out << s.text; }

// Letters, digits and . , - / _ + ( ) [ ] with single characters of space between, starting
// with a letter or digit and not a word YAML reads as null: nothing in it starts a
// comment, a mapping, a flow collection, a tag, an anchor or a quoted text.
bool SurelyPlain(const std::string& s) {
    if (s.empty() || !std::isalnum(static_cast<unsigned char>(s.front())) || s.back() == ' ' || s == "null" ||
        s == "Null" || s == "NULL")
        return false;
    for (const char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr(" .,-/_+()[]", c))
            return false;
    return true;
}

void Scalar(YAML::Emitter& out, const std::string& s) {
    if (SurelyPlain(s))
        out.WriteIntegralType(PlainScalar{s});
    else
        out << s;
}

void Emit(YAML::Emitter& out, const Written& w) {
    out << YAML::Key;
    Scalar(out, Std(w.field->name));
    out << YAML::Value;
    // Codes and texts are quoted: "#" and "*" mean something to YAML, "007" is no number.
    if (w.field->length > 0)
        out << YAML::DoubleQuoted << Std(w.text);
    else
        Scalar(out, Std(w.text));
}

// ---- reading -----------------------------------------------------------------------------

// N of "Channel N" written exactly so (up to `digits` digits, no leading zero); -1 otherwise.
int NumberAfter(const QString& key, QLatin1String prefix, int digits) {
    if (!key.startsWith(prefix) || key.size() <= prefix.size() || key.size() > prefix.size() + digits ||
        key.at(prefix.size()) == QLatin1Char('0'))
        return -1;
    int n = 0;
    for (qsizetype i = prefix.size(); i < key.size(); ++i) {
        const char16_t c = key.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c - u'0');
    }
    return n;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'0' && u <= u'9' ? u - u'0' : u >= u'A' && u <= u'F' ? u - u'A' + 10 : u >= u'a' && u <= u'f' ? u - u'a' + 10 : -1;
}

// Hex digits as a number; -1 when any is not one.
int HexNumber(QStringView digits) {
    int n = 0;
    for (QChar c : digits) {
        const int d = HexDigit(c);
        if (d < 0)
            return -1;
        n = n * 16 + d;
    }
    return n;
}

// "0F A0 12": pairs of hex digits, one space between; false for anything else (which the
// careful reading then judges).
bool QuickHexBytes(const QString& text, QByteArray* bytes) {
    if (text.size() < 2 || text.size() % 3 != 2)
        return false;
    bytes->reserve((text.size() + 1) / 3);
    for (qsizetype i = 0; i < text.size(); i += 3) {
        const int b = HexNumber(QStringView(text).mid(i, 2));
        if (b < 0 || (i + 2 < text.size() && text.at(i + 2) != QLatin1Char(' '))) {
            bytes->clear();
            return false;
        }
        bytes->append(char(b));
    }
    return true;
}

// A node of the text as yaml-cpp's parser reports it: what the reader asks of a
// YAML::Node, without building one (building them took a third of reading a text).
struct TextNode {
    struct Pair {
        const TextNode& first;
        const TextNode& second;
    };
    enum Kind { Null, ScalarKind, SequenceKind, MapKind } kind = Null;
    YAML::Mark mark = YAML::Mark::null_mark();
    std::string scalar;
    std::vector<Pair> pairs; // of a mapping, in the text's order (a key given twice twice)

    bool IsNull() const { return kind == Null; }
    bool IsScalar() const { return kind == ScalarKind; }
    bool IsMap() const { return kind == MapKind; }
    YAML::Mark Mark() const { return mark; }
    const std::string& Scalar() const { return scalar; }
    std::vector<Pair>::const_iterator begin() const { return pairs.begin(); }
    std::vector<Pair>::const_iterator end() const { return pairs.end(); }
};

// The first document of a text as TextNodes, made as yaml-cpp's own node builder makes
// its nodes: an alias is the anchored node itself, a mapping keeps every pair in order.
class TextTree : public YAML::EventHandler {
public:
    // The document's root; a null node for an empty text.
    const TextNode& root() const { return m_root ? *m_root : m_empty; }

    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t anchor) override { add(make(TextNode::Null, mark, anchor)); }
    void OnAlias(const YAML::Mark&, YAML::anchor_t anchor) override {
        add(anchor < m_anchors.size() && m_anchors[anchor] ? *m_anchors[anchor] : m_empty);
    }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t anchor,
                  const std::string& value) override {
        TextNode& n = make(TextNode::ScalarKind, mark, anchor);
        n.scalar = value;
        add(n);
    }
    void OnSequenceStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t anchor,
                         YAML::EmitterStyle::value) override {
        m_open.push_back({&make(TextNode::SequenceKind, mark, anchor), nullptr});
    }
    void OnSequenceEnd() override { close(); }
    void OnMapStart(const YAML::Mark& mark, const std::string&, YAML::anchor_t anchor,
                    YAML::EmitterStyle::value) override {
        m_open.push_back({&make(TextNode::MapKind, mark, anchor), nullptr});
    }
    void OnMapEnd() override { close(); }

private:
    struct Open {
        TextNode* node;
        const TextNode* key; // of a mapping, waiting for its value
    };

    TextNode& make(TextNode::Kind kind, const YAML::Mark& mark, YAML::anchor_t anchor) {
        TextNode& n = m_nodes.emplace_back();
        n.kind = kind;
        n.mark = mark;
        if (anchor != YAML::NullAnchor) {
            if (anchor >= m_anchors.size())
                m_anchors.resize(anchor + 1, nullptr);
            m_anchors[anchor] = &n;
        }
        return n;
    }
    void add(const TextNode& n) {
        if (m_open.empty()) {
            if (!m_root)
                m_root = &n;
            return;
        }
        Open& o = m_open.back();
        if (o.node->kind != TextNode::MapKind)
            return; // the reader takes no sequence apart
        if (!o.key) {
            o.key = &n;
        } else {
            o.node->pairs.push_back({*o.key, n});
            o.key = nullptr;
        }
    }
    void close() {
        const TextNode& n = *m_open.back().node;
        m_open.pop_back();
        add(n);
    }

    std::deque<TextNode> m_nodes; // stays where it is as it grows
    std::vector<TextNode*> m_anchors;
    std::vector<Open> m_open;
    const TextNode* m_root = nullptr;
    TextNode m_empty;
};

struct Reader {
    QList<FieldError> errors;
    QList<FieldAssignment> assignments;
    QList<std::pair<Address, QByteArray>> raw;
    bool whole = false;
    int band = -1;

    void error(const YAML::Mark& m, const QString& message) {
        errors.append({m.is_null() ? 0 : m.line + 1, m.is_null() ? 0 : m.column + 1, message});
    }

    // A scalar value ("" for an empty one); false after an error for anything else.
    bool scalar(const TextNode& value, const YAML::Mark& keyMark, const QString& what, QString* out) {
        if (value.IsNull()) {
            out->clear();
            return true;
        }
        if (!value.IsScalar()) {
            error(value.Mark().is_null() ? keyMark : value.Mark(), what + QStringLiteral(" takes a single value"));
            return false;
        }
        *out = Q(value.Scalar());
        return true;
    }

    bool map(const TextNode& value, const YAML::Mark& keyMark, const QString& what) {
        if (value.IsMap())
            return true;
        error(value.Mark().is_null() ? keyMark : value.Mark(), what + QStringLiteral(" holds a list of fields"));
        return false;
    }

    void unknown(const YAML::Mark& m, const QString& key, const QString& where, const QString& closest) {
        error(m, QStringLiteral("unknown key \"%1\"%2%3")
                     .arg(key, where.isEmpty() ? QString() : QStringLiteral(" in ") + where,
                          closest.isEmpty() ? QString() : QStringLiteral("; did you mean \"%1\"?").arg(closest)));
    }

    void field(const QString& view, const QString& key, const TextNode& keyNode, const TextNode& value) {
        const FieldCatalogue& catalogue = FieldCatalogue::instance();
        const TextField* f = catalogue.findExact(view, key);
        if (!f)
            f = catalogue.find(view + QStringLiteral(" / ") + key);
        if (!f) {
            QStringList names;
            for (const TextField& x : catalogue.fields())
                if (x.view.compare(view, Qt::CaseInsensitive) == 0)
                    names << x.name;
            unknown(keyNode.Mark(), key, view, ClosestWord(key, names));
            return;
        }
        if (!f->sharedWith.isEmpty()) {
            error(keyNode.Mark(), SharedRefusal(*f));
            return;
        }
        QString text;
        if (!scalar(value, keyNode.Mark(), f->path(), &text))
            return;
        const YAML::Mark m = value.Mark().is_null() ? keyNode.Mark() : value.Mark();
        assignments.append({f, text, m.line + 1, m.column + 1});
    }

    void channel(const QString& key, const TextNode& keyNode, const TextNode& value, int group) {
        static const QRegularExpression name(QStringLiteral("^channel\\s*([0-9]{1,3})$"),
                                             QRegularExpression::CaseInsensitiveOption);
        const int quick = NumberAfter(key, QLatin1String("Channel "), 3);
        const QRegularExpressionMatch m = quick >= 0 ? QRegularExpressionMatch() : name.match(key.trimmed());
        const int n = quick >= 0 ? quick - 1 : m.hasMatch() ? m.captured(1).toInt() - 1 : -1;
        if (!IsChannelIndex(n)) {
            unknown(keyNode.Mark(), key, group >= 0 ? QStringLiteral("Group %1").arg(group + 1) : ChannelsKey,
                    m.hasMatch() ? QString() : QStringLiteral("Channel 1"));
            if (m.hasMatch())
                errors.last().message = QStringLiteral("there is no %1: channels are 1-128").arg(key.trimmed());
            return;
        }
        if (group >= 0 && GroupIndexOfChannel(n) != group) {
            error(keyNode.Mark(), QStringLiteral("Channel %1 is in Group %2, not in Group %3")
                                      .arg(n + 1).arg(GroupIndexOfChannel(n) + 1).arg(group + 1));
            return;
        }
        const QString view = ChannelPlace(n, English);
        if (!map(value, keyNode.Mark(), view))
            return;
        for (auto it = value.begin(); it != value.end(); ++it)
            field(view, Q(it->first.Scalar()), it->first, it->second);
    }

    void channels(const TextNode& keyNode, const TextNode& value) {
        if (!map(value, keyNode.Mark(), ChannelsKey))
            return;
        static const QRegularExpression name(QStringLiteral("^group\\s*([0-9]{1,2})$"),
                                             QRegularExpression::CaseInsensitiveOption);
        for (auto it = value.begin(); it != value.end(); ++it) {
            const QString key = Q(it->first.Scalar());
            const int quick = NumberAfter(key, QLatin1String("Group "), 2);
            const QRegularExpressionMatch m = quick >= 0 ? QRegularExpressionMatch() : name.match(key.trimmed());
            if (quick < 0 && !m.hasMatch()) {
                channel(key, it->first, it->second, -1);
                continue;
            }
            const int group = (quick >= 0 ? quick : m.captured(1).toInt()) - 1;
            if (group < 0 || group >= GroupCount) {
                error(it->first.Mark(), QStringLiteral("there is no %1: groups are 1-8").arg(key.trimmed()));
                continue;
            }
            if (!map(it->second, it->first.Mark(), key))
                continue;
            for (auto c = it->second.begin(); c != it->second.end(); ++c)
                channel(Q(c->first.Scalar()), c->first, c->second, group);
        }
    }

    void rawBytes(const TextNode& keyNode, const TextNode& value) {
        if (value.IsNull())
            return;
        if (!map(value, keyNode.Mark(), RawKey))
            return;
        static const QRegularExpression address(QStringLiteral("^0x([0-9a-f]{1,4})$"),
                                                QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{2}$"), QRegularExpression::CaseInsensitiveOption);
        for (auto it = value.begin(); it != value.end(); ++it) {
            const QString key = Q(it->first.Scalar());
            // As the export writes them ("0x1FB0", "0F A0") without regular expressions first.
            int first = key.size() == 6 && key.startsWith(QLatin1String("0x")) ? HexNumber(QStringView(key).mid(2)) : -1;
            if (first < 0) {
                const QRegularExpressionMatch m = address.match(key.trimmed());
                first = m.hasMatch() ? m.captured(1).toInt(nullptr, 16) : -1;
            }
            if (first < 0 || first >= ImageSize) {
                error(it->first.Mark(), QStringLiteral("raw: \"%1\" is not an address 0x0000-0x1FFF").arg(key));
                continue;
            }
            QString text;
            if (!scalar(it->second, it->first.Mark(), QStringLiteral("raw ") + key, &text))
                continue;
            QByteArray bytes;
            bool good = QuickHexBytes(text, &bytes);
            for (const QString& b : good ? QStringList() : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                good = good && hex.match(b).hasMatch();
                bytes.append(char(b.toInt(nullptr, 16)));
            }
            if (!good || bytes.isEmpty()) {
                error(it->second.Mark(), QStringLiteral("raw %1: \"%2\" is not bytes in hex such as \"0F A0\"")
                                             .arg(key, text));
                continue;
            }
            if (first + bytes.size() > ImageSize) {
                error(it->second.Mark(), QStringLiteral("raw %1: %2 bytes run past the end of the image")
                                             .arg(key).arg(bytes.size()));
                continue;
            }
            raw.append({first, bytes});
        }
    }

    void document(const TextNode& root) {
        if (root.IsNull())
            return; // an empty text changes nothing
        if (!root.IsMap()) {
            error(root.Mark(), QStringLiteral("a radio text is a list of \"key: value\" lines"));
            return;
        }
        const FieldCatalogue& catalogue = FieldCatalogue::instance();
        QStringList views;
        for (const TextField& f : catalogue.fields())
            if (f.column == 0 && !views.contains(f.section))
                views << f.section;
        const QStringList topKeys = QStringList{FormatKey, BaseKey, BandKey, ChannelsKey, RawKey} + views;
        for (auto it = root.begin(); it != root.end(); ++it) {
            const QString key = Q(it->first.Scalar()).trimmed();
            const TextNode& value = it->second;
            const YAML::Mark mark = it->first.Mark();
            QString text;
            if (key.compare(FormatKey, Qt::CaseInsensitive) == 0) {
                if (scalar(value, mark, FormatKey, &text) && text.trimmed() != QString::number(TextFormatVersion))
                    error(value.Mark(), QStringLiteral("format \"%1\" is not one this program reads; allowed: %2")
                                            .arg(text).arg(TextFormatVersion));
            } else if (key.compare(BaseKey, Qt::CaseInsensitive) == 0) {
                if (scalar(value, mark, BaseKey, &text)) {
                    if (text.trimmed().compare(QStringLiteral("default"), Qt::CaseInsensitive) == 0)
                        whole = true;
                    else
                        error(value.Mark(), QStringLiteral("base \"%1\" is not known; allowed: default").arg(text));
                }
            } else if (key.compare(BandKey, Qt::CaseInsensitive) == 0) {
                if (!scalar(value, mark, BandKey, &text))
                    continue;
                QString spaced = text;
                spaced.remove(QLatin1Char(' ')).remove(QStringLiteral("MHz"), Qt::CaseInsensitive);
                for (int b = 0; b < BandCount; ++b)
                    if (spaced == BandText(b))
                        band = b;
                if (band < 0)
                    error(value.Mark(), QStringLiteral("band \"%1\" is not known; allowed: %2, %3, %4")
                                            .arg(text, BandText(0), BandText(1), BandText(2)));
            } else if (key.compare(ChannelsKey, Qt::CaseInsensitive) == 0) {
                channels(it->first, value);
            } else if (key.compare(RawKey, Qt::CaseInsensitive) == 0) {
                rawBytes(it->first, value);
            } else {
                QString view;
                for (const QString& v : views)
                    if (v.compare(key, Qt::CaseInsensitive) == 0)
                        view = v;
                if (view.isEmpty()) {
                    unknown(mark, key, QString(), ClosestWord(key, topKeys));
                    continue;
                }
                if (!map(value, mark, view))
                    continue;
                for (auto f = value.begin(); f != value.end(); ++f)
                    field(view, Q(f->first.Scalar()), f->first, f->second);
            }
        }
    }
};

void Parse(const QByteArray& text, Reader& reader) {
    try {
        std::istringstream in(text.toStdString());
        YAML::Parser parser(in);
        TextTree tree;
        parser.HandleNextDocument(tree);
        reader.document(tree.root());
    } catch (const YAML::Exception& e) {
        reader.error(e.mark, QStringLiteral("not a readable YAML text: ") + Q(e.msg));
    }
}

bool Apply(const QByteArray& text, MemoryImage& image, const DefaultImages& defaults, TextApplyResult* result,
           bool alone) {
    Reader reader;
    TextApplyResult local;
    TextApplyResult& r = result ? *result : local;
    r = TextApplyResult{};
    Parse(text, reader);
    r.whole = reader.whole;
    r.band = reader.band;
    r.errors = reader.errors;
    MemoryImage work = image;
    if (reader.whole || alone) {
        QString error;
        if (!defaults.image(std::max(reader.band, 0), &work, &error)) {
            r.errors.append({0, 0, error});
            return false;
        }
    } else if (reader.band >= 0 && reader.band != DecodeBandLimits(image).index) {
        r.errors.append({0, 0, QStringLiteral("the text is for band %1 MHz but the image is for %2 MHz; a text that "
                                              "changes the band is a whole image (base: default)")
                                   .arg(BandText(reader.band), BandText(DecodeBandLimits(image).index))});
    }
    // Every value is checked even after an error elsewhere, so one reading reports all.
    QList<FieldError> refused;
    SetFields(work, reader.assignments, &refused);
    r.errors += refused;
    if (!r.errors.isEmpty()) {
        std::stable_sort(r.errors.begin(), r.errors.end(), [](const FieldError& a, const FieldError& b) {
            return std::pair(a.line, a.column) < std::pair(b.line, b.column);
        });
        return false;
    }
    for (const auto& [first, bytes] : reader.raw)
        for (int i = 0; i < bytes.size(); ++i)
            work.setByte(first + i, quint8(bytes[i]));
    image.setBytes(work.bytes());
    return true;
}

} // namespace

DefaultImages::DefaultImages(const std::array<QByteArray, 3>& images) {
    for (size_t i = 0; i < images.size(); ++i)
        m_images[i] = images[i];
}

bool DefaultImages::image(int band, MemoryImage* out, QString* error) const {
    if (band < 0 || band >= BandCount) {
        *error = QStringLiteral("there is no band %1").arg(band);
        return false;
    }
    std::optional<QByteArray>& cached = m_images[size_t(band)];
    if (!cached) {
        MemoryImage loaded;
        if (!LoadDefaultImage(loaded, band, m_folder, error))
            return false;
        cached = loaded.bytes();
    }
    out->setBytes(*cached);
    return true;
}

bool ExportRadioText(const MemoryImage& image, const DefaultImages& defaults, QByteArray* text, QString* error) {
    const int band = DecodeBandLimits(image).index;
    MemoryImage base;
    if (!defaults.image(band, &base, error))
        return false;
    const QList<Written> written = StoreOnto(base, image);

    YAML::Emitter out;
    out << YAML::BeginMap;
    out << YAML::Key << Std(BaseKey) << YAML::Value << "default"
        << YAML::Comment("a whole Kestrel image; without this line a text changes only the fields it names. Keys "
                         "and values are the English texts of the views, in any letter case");
    out << YAML::Key << Std(FormatKey) << YAML::Value << TextFormatVersion;
    out << YAML::Key << Std(BandKey) << YAML::Value << Std(BandText(band))
        << YAML::Comment(Std(BandText(0) + QStringLiteral(", ") + BandText(1) + QStringLiteral(", ") + BandText(2)));

    int i = 0;
    // Channels: by group and number, only those in use.
    out << YAML::Key << Std(ChannelsKey) << YAML::Value;
    out << YAML::Comment("RX Freq and TX Freq in MHz (empty TX: no transmit); Decode and Encode from the tone "
                         "table; the other columns as the grid lists them");
    out << YAML::BeginMap;
    QString group, channel;
    while (i < written.size() && written[i].field->column != 0) {
        const Written& w = written[i++];
        if (w.field->group != group) {
            if (!channel.isEmpty())
                out << YAML::EndMap;
            if (!group.isEmpty())
                out << YAML::EndMap;
            group = w.field->group;
            channel.clear();
            out << YAML::Key;
            Scalar(out, Std(group));
            out << YAML::Value << YAML::BeginMap;
        }
        if (w.field->view != channel) {
            if (!channel.isEmpty())
                out << YAML::EndMap;
            channel = w.field->view;
            out << YAML::Key;
            Scalar(out, Std(channel));
            out << YAML::Value << YAML::BeginMap;
        }
        Emit(out, w);
    }
    if (!channel.isEmpty())
        out << YAML::EndMap;
    if (!group.isEmpty())
        out << YAML::EndMap;
    out << YAML::EndMap;

    // The settings views, each field with its allowed values.
    QString section;
    for (; i < written.size(); ++i) {
        const Written& w = written[i];
        if (w.field->section != section) {
            if (!section.isEmpty())
                out << YAML::EndMap;
            section = w.field->section;
            out << YAML::Key << Std(section) << YAML::Value;
            if (section == QLatin1String("DTMF") || section == QLatin1String("Channel Information"))
                out << YAML::Comment("Call List 9-16 of DTMF share their bytes with Channel Information (current "
                                     "channel, valid and scan channels): they are written there only");
            out << YAML::BeginMap;
        }
        Emit(out, w);
        if (w.field->items.size() > 1)
            out << YAML::Comment(Std(w.field->allowed));
    }
    if (!section.isEmpty())
        out << YAML::EndMap;

    // Every byte the fields do not give back, over the default image with the fields stored.
    const QByteArray& want = image.bytes();
    const QByteArray& have = base.bytes();
    bool rawStarted = false;
    for (Address a = 0; a < ImageSize;) {
        if (want[a] == have[a]) {
            ++a;
            continue;
        }
        // A run ends at a line's end or at two equal bytes in a row.
        Address end = a + 1;
        while (end < ImageSize && end % LineSize != 0 &&
               (want[end] != have[end] || (end + 1 < ImageSize && (end + 1) % LineSize != 0 &&
                                           want[end + 1] != have[end + 1])))
            ++end;
        if (!rawStarted) {
            out << YAML::Key << Std(RawKey) << YAML::Value
                << YAML::Comment("bytes no field gives back (address: hex bytes), written last");
            out << YAML::BeginMap;
            rawStarted = true;
        }
        out << YAML::Key;
        Scalar(out, Std(HexAddressText(a)));
        out << YAML::Value;
        Scalar(out, Std(HexBytes(want.mid(a, end - a))));
        a = end;
    }
    if (rawStarted)
        out << YAML::EndMap;
    out << YAML::EndMap;
    if (!out.good()) {
        *error = QStringLiteral("cannot write the text: ") + Q(out.GetLastError());
        return false;
    }
    *text = QByteArray(out.c_str(), qsizetype(out.size())) + '\n';
    return true;
}

bool ApplyRadioText(const QByteArray& text, MemoryImage& image, const DefaultImages& defaults,
                    TextApplyResult* result) {
    return Apply(text, image, defaults, result, false);
}

bool LoadRadioText(const QByteArray& text, MemoryImage& image, const DefaultImages& defaults,
                   TextApplyResult* result) {
    return Apply(text, image, defaults, result, true);
}

bool IsRadioTextFile(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    return suffix.compare(QLatin1String("yaml"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("yml"), Qt::CaseInsensitive) == 0;
}

bool LoadImageOrText(const QString& fileName, const DefaultImages& defaults, MemoryImage& image,
                     QStringList* errors) {
    QString error;
    if (!IsRadioTextFile(fileName)) {
        if (image.LoadImageFile(fileName, &error))
            return true;
        *errors = QStringList{error};
        return false;
    }
    if (!CheckNotSpecial(fileName, &error)) {
        *errors = QStringList{error};
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *errors = QStringList{QStringLiteral("Cannot read %1: %2").arg(fileName, file.errorString())};
        return false;
    }
    TextApplyResult result;
    MemoryImage loaded;
    if (!LoadRadioText(file.readAll(), loaded, defaults, &result)) {
        errors->clear();
        for (const FieldError& e : result.errors)
            *errors << (e.line > 0 ? fileName + QLatin1Char(':') + e.text() : fileName + QStringLiteral(": ") + e.text());
        return false;
    }
    image.setBytes(loaded.bytes());
    return true;
}

bool SaveRadioTextFile(const MemoryImage& image, const DefaultImages& defaults, const QString& fileName,
                       QString* error) {
    QByteArray text;
    if (!ExportRadioText(image, defaults, &text, error))
        return false;
    QString reason;
    if (!WriteFileAtomically(fileName, text, &reason)) {
        *error = IsSpecialFile(fileName) ? reason : QStringLiteral("Cannot write %1: %2").arg(fileName, reason);
        return false;
    }
    return true;
}

} // namespace kestrel::text
