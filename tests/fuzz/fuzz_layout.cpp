// The menu and tool bar layout file: any text is either read into a layout that the
// program can build its bands from, or refused with the line and the reason, in which
// case the built-in layout stands in. A layout written back out reads the same.
#include "tests/fuzz/FuzzSupport.h"

#include "shell/CommandTips.h"
#include "shell/LayoutFile.h"

#include <QDir>

using namespace kestrel;
using namespace kestrel::fuzz;

namespace {

bool SameEntries(const QList<LayoutEntry>& a, const QList<LayoutEntry>& b) {
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].id != b[i].id || a[i].caption != b[i].caption ||
            a[i].icon != b[i].icon || !SameEntries(a[i].children, b[i].children))
            return false;
    return true;
}

bool SameLayout(const Layout& a, const Layout& b) {
    if (a.bands.size() != b.bands.size())
        return false;
    for (int i = 0; i < a.bands.size(); ++i)
        if (a.bands[i].name != b.bands[i].name || !SameEntries(a.bands[i].entries, b.bands[i].entries))
            return false;
    return true;
}

QString Quoted(QString word) {
    word.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    word.replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + word + QLatin1Char('"');
}

QString EntryText(const LayoutEntry& e) {
    switch (e.kind) {
    case LayoutEntry::Separator:
        return QStringLiteral("separator\n");
    case LayoutEntry::Item:
        return QStringLiteral("item %1 %2%3\n")
            .arg(Quoted(e.id), Quoted(e.caption),
                 e.icon.isEmpty() ? QString() : QStringLiteral(" icon ") + Quoted(e.icon));
    case LayoutEntry::Menu: {
        QString text = QStringLiteral("menu %1 %2\n").arg(Quoted(e.id), Quoted(e.caption));
        for (const LayoutEntry& c : e.children)
            text += QStringLiteral("  ") + EntryText(c);
        return text + QStringLiteral("end\n");
    }
    }
    return QString();
}

// The layout in the file format, every word quoted.
QString LayoutText(const Layout& layout) {
    QString text;
    for (const LayoutBand& band : layout.bands) {
        text += QStringLiteral("band %1\n").arg(Quoted(band.name));
        for (const LayoutEntry& e : band.entries)
            text += EntryText(e);
    }
    return text;
}

// What the main window relies on when it builds its bands from a layout.
void CheckBuildable(const Layout& layout) {
    Check(layout.band(QStringLiteral("Menu Bar")) != nullptr, "a layout has a menu bar");
    for (const LayoutBand& band : layout.bands) {
        for (const LayoutEntry& e : band.entries) {
            Check(e.kind == LayoutEntry::Menu || e.children.isEmpty(), "only menus hold entries");
            for (const LayoutEntry& c : e.children)
                Check(c.kind != LayoutEntry::Menu && c.children.isEmpty(), "menus do not nest");
            for (const LayoutEntry& item : e.kind == LayoutEntry::Menu ? e.children : QList<LayoutEntry>{e}) {
                if (item.kind != LayoutEntry::Item)
                    continue;
                Check(item.id.startsWith(QLatin1String("mi")), "command ids begin with mi");
                Check(layout.find(band.name, item.id) != nullptr || layout.band(band.name) != &band,
                      "every command of a band can be found in it");
                // The tips every entry gets by its id.
                for (Language l : {English, Chinese})
                    CommandStatusTip(item.id, item.caption, l);
                CommandToolTip(item.id, item.caption);
                CommandShortcut(item.id);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    Defaults defaults;
    defaults.buildSeeds =
        QStringList{BinFile(QStringLiteral("toolbar_E.tlb")), BinFile(QStringLiteral("toolbar_C.tlb"))};
    UseDefaultCorpus(argc, argv, defaults);
    QuietMessages(false);
    CheckBuildable(BuiltInLayout());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);
    QString error;
    const std::optional<Layout> layout = ParseLayout(text, &error);
    if (layout) {
        CheckBuildable(*layout);
        QString again;
        const std::optional<Layout> reread = ParseLayout(LayoutText(*layout), &again);
        Check(reread && SameLayout(*reread, *layout), "a layout written out reads the same", again);
    } else {
        Check(error.startsWith(QLatin1String("line ")), "a refused layout names the line");
    }

    // The file beside the program: used when it reads, the built-in layout otherwise.
    const QString folder = ScratchFile(QStringLiteral("layout"));
    QDir().mkpath(folder);
    WriteScratch(QDir(folder).filePath(LayoutFileName(English)), bytes);
    QString warning;
    const Layout loaded = LoadLayout(folder, English, &warning);
    if (layout) {
        Check(SameLayout(loaded, *layout), "a layout file that reads is used");
        Check(warning.isEmpty() == layout->warnings.isEmpty(), "what was passed over is reported");
    } else {
        Check(SameLayout(loaded, BuiltInLayout()) && !warning.isEmpty(),
              "a broken layout file gives the built-in menus and a warning");
    }
    return 0;
}
