#include "channels/CsvText.h"

namespace kestrel {

namespace {

bool IsLineEnd(QChar c) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

class CsvReader {
public:
    CsvReader(const QString& text, QChar separator)
        : m_text(text), m_n(int(text.size())), m_separator(separator) {
        if (m_n > 0 && m_text.at(0) == QChar(0xFEFF))
            m_i = 1;
    }

    QList<CsvRecord> records(int maxRecords) {
        QList<CsvRecord> out;
        while (m_i < m_n && (maxRecords < 0 || out.size() < maxRecords)) {
            int k = m_i;
            while (k < m_n && IsBlank(m_text.at(k)))
                ++k;
            if (atLineEnd(k) || m_text.at(k) == QLatin1Char('#')) {
                m_i = k;
                skipRestOfLine();
                continue;
            }
            CsvRecord record = readRecord();
            bool empty = record.error.isEmpty();
            for (const QString& cell : std::as_const(record.cells))
                empty = empty && cell.isEmpty();
            if (!empty)
                out << record;
            skipLineEnd();
        }
        return out;
    }

private:
    // Blanks around a cell: spaces, and tabs unless they separate the cells.
    bool IsBlank(QChar c) const {
        return c == QLatin1Char(' ') || (c == QLatin1Char('\t') && m_separator != QLatin1Char('\t'));
    }

    bool atLineEnd(int k) const { return k >= m_n || IsLineEnd(m_text.at(k)); }

    // Past the line end at m_i (CR LF counts once).
    void skipLineEnd() {
        if (m_i >= m_n)
            return;
        if (m_text.at(m_i) == QLatin1Char('\r') && m_i + 1 < m_n && m_text.at(m_i + 1) == QLatin1Char('\n'))
            ++m_i;
        ++m_i;
        ++m_line;
    }

    void skipRestOfLine() {
        while (!atLineEnd(m_i))
            ++m_i;
        skipLineEnd();
    }

    CsvRecord readRecord() {
        CsvRecord record;
        record.line = m_line;
        while (true) {
            const int start = m_i;
            while (m_i < m_n && IsBlank(m_text.at(m_i)))
                ++m_i;
            QString cell;
            if (m_i < m_n && m_text.at(m_i) == QLatin1Char('"')) {
                ++m_i;
                if (!readQuoted(cell)) {
                    record.cells << cell;
                    record.error = {QStringLiteral("a quoted cell is not closed"),
                                    QStringLiteral("带引号的单元格没有结束引号")};
                    return record;
                }
                while (m_i < m_n && IsBlank(m_text.at(m_i)))
                    ++m_i;
                if (!atLineEnd(m_i) && m_text.at(m_i) != m_separator) {
                    const qsizetype number = record.cells.size() + 1;
                    record.cells << cell;
                    record.error = {QStringLiteral("text follows the closing quote of cell %1").arg(number),
                                    QStringLiteral("第 %1 个单元格的结束引号后还有文字").arg(number)};
                    while (!atLineEnd(m_i))
                        ++m_i;
                    return record;
                }
            } else {
                m_i = start;
                while (!atLineEnd(m_i) && m_text.at(m_i) != m_separator)
                    cell += m_text.at(m_i++);
                cell = cell.trimmed();
            }
            record.cells << cell;
            if (m_i < m_n && m_text.at(m_i) == m_separator) {
                ++m_i;
                continue;
            }
            return record;
        }
    }

    // The inside of a quoted cell, m_i just after the opening quote. False when the
    // text ends before the closing quote.
    bool readQuoted(QString& cell) {
        while (m_i < m_n) {
            const QChar c = m_text.at(m_i++);
            if (c == QLatin1Char('"')) {
                if (m_i < m_n && m_text.at(m_i) == QLatin1Char('"')) {
                    cell += c;
                    ++m_i;
                    continue;
                }
                return true;
            }
            if (c == QLatin1Char('\n') ||
                (c == QLatin1Char('\r') && !(m_i < m_n && m_text.at(m_i) == QLatin1Char('\n'))))
                ++m_line;
            cell += c;
        }
        return false;
    }

    const QString& m_text;
    const int m_n;
    const QChar m_separator;
    int m_i = 0;
    int m_line = 1;
};

} // namespace

QList<CsvRecord> ReadCsvRecords(const QString& text, QChar separator, int maxRecords) {
    return CsvReader(text, separator).records(maxRecords);
}

QString CsvCell(const QString& text) {
    const bool plain = !text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
                       !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvLine(const QStringList& cells) {
    QStringList out;
    out.reserve(cells.size());
    for (const QString& cell : cells)
        out << CsvCell(cell);
    return out.join(QLatin1Char(','));
}

} // namespace kestrel
