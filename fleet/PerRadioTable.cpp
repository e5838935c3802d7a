#include "fleet/PerRadioTable.h"

#include "channels/ChannelLists.h"
#include "channels/CsvText.h"
#include "core/ChannelRecord.h"
#include "core/SafeFile.h"
#include "link/EmbMsgText.h"
#include "link/WriteVerify.h"

#include <QDir>
#include <QFile>
#include <QHash>

namespace kestrel {

namespace {

using text::FieldAssignment;
using text::FieldCatalogue;
using text::FieldError;
using text::TextField;

constexpr int BitmapBytes = 32;

QString PortKey(const QString& text) {
    QString key = text.toLower();
    key.remove(QLatin1Char(' '));
    return key;
}

// "port" or "esn" in any letter case; nothing for another name.
std::optional<PerRadioKey> KeyOfName(const QString& name) {
    const QString n = name.trimmed();
    if (n.compare(QLatin1String("port"), Qt::CaseInsensitive) == 0)
        return PerRadioKey::Port;
    if (n.compare(QLatin1String("esn"), Qt::CaseInsensitive) == 0)
        return PerRadioKey::Esn;
    return std::nullopt;
}

bool HasKeyColumn(const QStringList& cells) {
    return std::any_of(cells.begin(), cells.end(), [](const QString& c) { return KeyOfName(c).has_value(); });
}

// The first and one-past-last address of the bytes that hold the field.
std::pair<Address, Address> FieldBytes(const TextField& f) {
    if (f.section == QLatin1String("Channels") || f.view == embmsg::CaptionText(English))
        return {LineAddress(f.index), LineAddress(f.index) + LineSize}; // a channel record or a text line
    if (f.address == ValidBitmap || f.address == ScanBitmap)
        return {f.address, f.address + BitmapBytes};
    return {f.address, f.address + std::max(1, f.length)};
}

class Problems {
public:
    Problems(const QString& fileName, QStringList* out) : m_file(QDir::toNativeSeparators(fileName)), m_out(out) {}
    void add(int line, int column, const QString& message) {
        QString place = m_file;
        if (line > 0)
            place += QLatin1Char(':') + QString::number(line);
        if (line > 0 && column > 0)
            place += QLatin1Char(':') + QString::number(column);
        m_out->append(place + QStringLiteral(": ") + message);
    }
    bool any() const { return !m_out->isEmpty(); }

private:
    QString m_file;
    QStringList* m_out;
};

} // namespace

QString EsnKey(const QString& text) {
    QString key = text;
    key.remove(QChar(0xFF));
    while (!key.isEmpty() && key.back().isSpace())
        key.chop(1);
    return key;
}

QString RadioEsn(const MemoryImage& image) {
    return EsnKey(embmsg::ReadText(image, embmsg::EsnLine));
}

bool WriteSendsField(const TextField& field) {
    const auto [first, end] = FieldBytes(field);
    for (Address a = first; a < end; ++a)
        if (!FullWriteSends(a))
            return false;
    return true;
}

int PerRadioTable::findPort(const QString& port, const QString& device) const {
    if (key != PerRadioKey::Port)
        return -1;
    const QString p = PortKey(port), d = PortKey(device);
    for (int r = 0; r < rows.size(); ++r) {
        const QString k = PortKey(rows[r].key);
        if (k == p || (!d.isEmpty() && k == d))
            return r;
    }
    return -1;
}

int PerRadioTable::findEsn(const QString& esn) const {
    if (key != PerRadioKey::Esn)
        return -1;
    const QString wanted = EsnKey(esn);
    for (int r = 0; r < rows.size(); ++r)
        if (EsnKey(rows[r].key) == wanted)
            return r;
    return -1;
}

QString PerRadioTable::valuesText(int row) const {
    if (row < 0 || row >= rows.size())
        return QString();
    QStringList parts;
    for (const FieldAssignment& a : rows[row].assignments)
        parts << a.field->path() + QLatin1Char('=') + a.value;
    return parts.join(QLatin1Char(';'));
}

bool PerRadioTable::apply(int row, MemoryImage& image, QList<FieldError>* errors) const {
    if (row < 0 || row >= rows.size())
        return false;
    return text::SetFields(image, rows[row].assignments, errors);
}

bool ReadPerRadioTable(const QByteArray& data, const QString& fileName, const MemoryImage& image,
                       PerRadioTable* table, QStringList* errors, Language l) {
    errors->clear();
    Problems problems(fileName, errors);
    *table = PerRadioTable();
    table->fileName = fileName;

    ImportReport report;
    const std::optional<QString> text = DecodeListText(data, report);
    if (!text) {
        for (const ListNote& n : report.notes)
            problems.add(n.line, 0, n.text(l));
        return false;
    }
    // The separator is the one that makes the first line a header with a key column.
    QChar separator = QLatin1Char(',');
    for (const QChar candidate : {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')}) {
        const QList<CsvRecord> first = ReadCsvRecords(*text, candidate, 1);
        if (!first.isEmpty() && first.first().error.isEmpty() && HasKeyColumn(first.first().cells)) {
            separator = candidate;
            break;
        }
    }
    const QList<CsvRecord> records = ReadCsvRecords(*text, separator);
    if (records.isEmpty()) {
        problems.add(0, 0, Pick(l, "the file holds no table", "文件中没有表格"));
        return false;
    }

    // The header: the key column and the fields.
    const CsvRecord& header = records.first();
    if (!header.error.isEmpty()) {
        problems.add(header.line, 0, header.error(l));
        return false;
    }
    const FieldCatalogue& catalogue = FieldCatalogue::instance();
    int keyColumn = -1;
    QList<const TextField*> columns; // per header cell; nullptr for the key and for refused names
    for (int c = 0; c < header.cells.size(); ++c) {
        const QString name = header.cells[c].trimmed();
        columns << nullptr;
        if (const std::optional<PerRadioKey> key = KeyOfName(name)) {
            if (keyColumn >= 0) {
                problems.add(header.line, c + 1,
                             Pick(l, "a second key column \"%1\": the table has one, port or esn",
                                  "第二个键列“%1”：表格只能有一个键列，port 或 esn")
                                 .arg(name));
                continue;
            }
            keyColumn = c;
            table->key = *key;
            continue;
        }
        if (name.isEmpty()) {
            problems.add(header.line, c + 1, Pick(l, "a column without a name", "列没有名称"));
            continue;
        }
        const TextField* f = catalogue.find(name);
        if (!f) {
            const QString closest = catalogue.closestPath(name);
            problems.add(header.line, c + 1,
                         Pick(l, "no field is called \"%1\"", "没有名为“%1”的字段").arg(name) +
                             (closest.isEmpty() ? QString()
                                                : Pick(l, "; did you mean \"%1\"?", "；是否指“%1”？").arg(closest)));
            continue;
        }
        if (!f->sharedWith.isEmpty()) {
            problems.add(header.line, c + 1, text::SharedRefusal(*f));
            continue;
        }
        if (!WriteSendsField(*f)) {
            problems.add(header.line, c + 1,
                         Pick(l, "%1: a write does not send these bytes, so the radio keeps its own",
                              "%1：写频不发送这些字节，电台保留自己的值")
                             .arg(f->path()));
            continue;
        }
        if (columns.contains(f)) {
            problems.add(header.line, c + 1,
                         Pick(l, "%1 is a column twice", "%1 列重复").arg(f->path()));
            continue;
        }
        columns[c] = f;
    }
    if (keyColumn < 0)
        problems.add(header.line, 0,
                     Pick(l, "the first line has no key column: name one port or esn (separators tried: comma, "
                             "semicolon and tab)",
                          "第一行没有键列：请命名 port 或 esn（已尝试的分隔符：逗号、分号和制表符）"));
    for (const TextField* f : columns)
        if (f)
            table->fields << f;
    if (keyColumn < 0)
        return false;
    // With a refused column the others' cells are still checked: every problem at once.
    if (table->fields.isEmpty() && !problems.any()) {
        problems.add(header.line, 0, Pick(l, "the table names no field", "表格中没有字段列"));
        return false;
    }

    // The rows: a key each, once, and every value checked on the fleet's image.
    QHash<QString, int> seen; // key -> line
    const int width = int(header.cells.size());
    for (const CsvRecord& record : records.mid(1)) {
        if (!record.error.isEmpty()) {
            problems.add(record.line, 0, record.error(l));
            continue;
        }
        PerRadioRow row;
        row.line = record.line;
        row.key = record.cells.value(keyColumn).trimmed();
        if (table->key == PerRadioKey::Esn)
            row.key = EsnKey(row.key);
        const QString seenKey = table->key == PerRadioKey::Port ? PortKey(row.key) : row.key;
        if (row.key.isEmpty()) {
            problems.add(record.line, keyColumn + 1,
                         Pick(l, "no %1 in this row", "此行没有 %1").arg(header.cells[keyColumn].trimmed()));
        } else if (seen.contains(seenKey)) {
            problems.add(record.line, keyColumn + 1,
                         Pick(l, "\"%1\" has a row already (line %2)", "“%1”已有一行（第 %2 行）")
                             .arg(row.key)
                             .arg(seen.value(seenKey)));
        } else {
            seen.insert(seenKey, record.line);
        }
        for (int c = width; c < record.cells.size(); ++c)
            if (!record.cells[c].isEmpty())
                problems.add(record.line, c + 1,
                             Pick(l, "a value past the last column of the header", "标题行最后一列之后还有值"));
        for (int c = 0; c < width; ++c) {
            if (!columns[c])
                continue;
            if (c >= record.cells.size()) {
                problems.add(record.line, c + 1,
                             Pick(l, "%1: the row ends before this column", "%1：此行在该列之前结束")
                                 .arg(columns[c]->path()));
                continue;
            }
            FieldAssignment a;
            a.field = columns[c];
            a.value = record.cells[c];
            a.line = record.line;
            a.column = c + 1;
            row.assignments << a;
        }
        MemoryImage work = image;
        QList<FieldError> refused;
        if (!text::SetFields(work, row.assignments, &refused))
            for (const FieldError& e : refused)
                problems.add(e.line, e.column, e.message);
        table->rows << row;
    }
    if (!problems.any() && table->rows.isEmpty())
        problems.add(header.line, 0, Pick(l, "the table has no rows", "表格中没有数据行"));
    if (problems.any()) {
        const QString file = table->fileName;
        *table = PerRadioTable();
        table->fileName = file;
        return false;
    }
    return true;
}

bool LoadPerRadioTable(const QString& fileName, const MemoryImage& image, PerRadioTable* table,
                       QStringList* errors, Language l) {
    errors->clear();
    *table = PerRadioTable();
    table->fileName = fileName;
    Problems problems(fileName, errors);
    if (IsSpecialFile(fileName)) {
        problems.add(0, 0, NotRegularFileText(fileName, l));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        problems.add(0, 0, Pick(l, "cannot open it: %1", "无法打开：%1").arg(file.errorString()));
        return false;
    }
    const QByteArray data = file.read(MaxChannelListBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        problems.add(0, 0, Pick(l, "cannot read it: %1", "无法读取：%1").arg(file.errorString()));
        return false;
    }
    if (data.size() > MaxChannelListBytes) {
        problems.add(0, 0, Pick(l, "too large for a table of radios", "太大，不是电台表格"));
        return false;
    }
    return ReadPerRadioTable(data, fileName, image, table, errors, l);
}

} // namespace kestrel
