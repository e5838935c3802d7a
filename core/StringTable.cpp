#include "core/StringTable.h"

#include "core/Log.h"

#include <QFile>
#include <QHash>

static void initStringResource() { Q_INIT_RESOURCE(strings); }

namespace kestrel {

namespace {
const QHash<int, QString>& table() {
    static const QHash<int, QString> texts = [] {
        initStringResource();
        QHash<int, QString> t;
        QFile f(QStringLiteral(":/kestrel/strings.tsv"));
        if (!f.open(QIODevice::ReadOnly)) {
            qCCritical(logCore, "the string table resource is missing");
            return t;
        }
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (const QString& raw : lines) {
            if (raw.isEmpty() || raw.startsWith(QLatin1Char('#')))
                continue;
            const QStringList cols = raw.split(QLatin1Char('\t'));
            bool ok = false;
            const int base = cols.value(0).toInt(&ok);
            if (!ok || cols.size() != 3) {
                qCWarning(logCore) << "bad string table line" << raw;
                continue;
            }
            t.insert(base, cols[1]);
            t.insert(base + 1000, cols[2]);
        }
        return t;
    }();
    return texts;
}
} // namespace

QString LoadText(int base, Language language) {
    const int number = 1000 * (language == Chinese ? 1 : 0) + base;
    const auto it = table().constFind(number);
    if (it == table().constEnd()) {
        qCWarning(logCore, "no text number %d", number);
        return QString();
    }
    return *it;
}

bool HasText(int number) { return table().contains(number); }

QList<int> TextBaseNumbers() {
    QList<int> out;
    for (auto it = table().constBegin(); it != table().constEnd(); ++it)
        if (it.key() < 2000)
            out.append(it.key());
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace kestrel
