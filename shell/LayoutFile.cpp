#include "shell/LayoutFile.h"

#include <QDir>
#include <QFile>

namespace kestrel {

const LayoutBand* Layout::band(const QString& name) const {
    for (const LayoutBand& b : bands)
        if (b.name == name)
            return &b;
    return nullptr;
}

namespace {
const QStringList KnownBands{QStringLiteral("Menu Bar"), QStringLiteral("ToolBar")};

const LayoutEntry* findIn(const QList<LayoutEntry>& entries, const QString& id) {
    for (const LayoutEntry& e : entries) {
        if (e.kind != LayoutEntry::Separator && e.id == id)
            return &e;
        if (const LayoutEntry* c = findIn(e.children, id))
            return c;
    }
    return nullptr;
}

// Splits a line into words; "double quoted" words may hold blanks, \" and \\ escape.
bool Tokenize(const QString& line, QStringList& out, QString* error) {
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('#'))
            break;
        QString word;
        if (line[i] == QLatin1Char('"')) {
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('\\') && i + 1 < n) {
                    word += line[i + 1];
                    i += 2;
                } else if (line[i] == QLatin1Char('"')) {
                    closed = true;
                    ++i;
                    break;
                } else {
                    word += line[i++];
                }
            }
            if (!closed) {
                *error = QStringLiteral("unclosed quote");
                return false;
            }
        } else {
            while (i < n && !line[i].isSpace())
                word += line[i++];
        }
        out << word;
    }
    return true;
}
} // namespace

const LayoutEntry* Layout::find(const QString& bandName, const QString& id) const {
    const LayoutBand* b = band(bandName);
    return b ? findIn(b->entries, id) : nullptr;
}

std::optional<Layout> ParseLayout(const QString& text, QString* error) {
    Layout layout;
    LayoutBand* band = nullptr;
    LayoutEntry* menu = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    auto fail = [&](int lineNo, const QString& why) -> std::optional<Layout> {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(lineNo).arg(why);
        return std::nullopt;
    };
    for (int ln = 0; ln < lines.size(); ++ln) {
        QStringList w;
        QString why;
        if (!Tokenize(lines[ln], w, &why))
            return fail(ln + 1, why);
        if (w.isEmpty())
            continue;
        const QString& kw = w[0];
        if (kw == QLatin1String("band")) {
            if (w.size() != 2)
                return fail(ln + 1, QStringLiteral("band takes one quoted name"));
            if (menu)
                return fail(ln + 1, QStringLiteral("menu %1 has no end").arg(menu->id));
            if (layout.band(w[1]))
                layout.warnings << QStringLiteral("line %1: band \"%2\" is named a second time; this one is ignored")
                                       .arg(ln + 1)
                                       .arg(w[1]);
            else if (!KnownBands.contains(w[1]))
                layout.warnings << QStringLiteral("line %1: unknown band \"%2\" is ignored (the bands are %3)")
                                       .arg(ln + 1)
                                       .arg(w[1], QStringLiteral("\"%1\"").arg(KnownBands.join(QStringLiteral("\", \""))));
            layout.bands.append(LayoutBand{w[1], {}});
            band = &layout.bands.last();
        } else if (!band) {
            return fail(ln + 1, QStringLiteral("\"%1\" before the first band").arg(kw));
        } else if (kw == QLatin1String("menu")) {
            if (menu)
                return fail(ln + 1, QStringLiteral("menus do not nest"));
            if (w.size() != 3)
                return fail(ln + 1, QStringLiteral("menu takes an id and a caption"));
            LayoutEntry e;
            e.kind = LayoutEntry::Menu;
            e.id = w[1];
            e.caption = w[2];
            band->entries.append(e);
            menu = &band->entries.last();
        } else if (kw == QLatin1String("end")) {
            if (!menu)
                return fail(ln + 1, QStringLiteral("end without menu"));
            menu = nullptr;
        } else if (kw == QLatin1String("item")) {
            LayoutEntry e;
            if (w.size() == 3) {
            } else if (w.size() == 5 && w[3] == QLatin1String("icon")) {
                e.icon = w[4];
            } else {
                return fail(ln + 1, QStringLiteral("item takes an id, a caption and optionally icon NAME"));
            }
            e.id = w[1];
            e.caption = w[2];
            if (!e.id.startsWith(QLatin1String("mi")))
                return fail(ln + 1, QStringLiteral("command ids begin with mi"));
            (menu ? menu->children : band->entries).append(e);
        } else if (kw == QLatin1String("separator")) {
            if (w.size() != 1)
                return fail(ln + 1, QStringLiteral("separator takes nothing"));
            LayoutEntry e;
            e.kind = LayoutEntry::Separator;
            (menu ? menu->children : band->entries).append(e);
        } else {
            return fail(ln + 1, QStringLiteral("unknown statement \"%1\"").arg(kw));
        }
    }
    if (menu)
        return fail(lines.size(), QStringLiteral("menu %1 has no end").arg(menu->id));
    if (!layout.band(QStringLiteral("Menu Bar")))
        return fail(lines.size(), QStringLiteral("no \"Menu Bar\" band"));
    return layout;
}

Layout BuiltInLayout() {
    auto item = [](const char* id, const char* caption, const char* icon = "") {
        LayoutEntry e;
        e.id = QString::fromLatin1(id);
        e.caption = QString::fromUtf8(caption);
        e.icon = QString::fromLatin1(icon);
        return e;
    };
    auto sep = [] {
        LayoutEntry e;
        e.kind = LayoutEntry::Separator;
        return e;
    };
    auto menu = [](const char* id, const char* caption, QList<LayoutEntry> children) {
        LayoutEntry e;
        e.kind = LayoutEntry::Menu;
        e.id = QString::fromLatin1(id);
        e.caption = QString::fromUtf8(caption);
        e.children = std::move(children);
        return e;
    };
    Layout l;
    LayoutBand bar{QStringLiteral("Menu Bar"), {}};
    bar.entries << menu("miFile", "File(&F)",
                        {item("miNew", "New(&N)", "new"), item("miClose", "Close(&C)"),
                         item("miOpen", "Open(&O)", "open"), item("miOpenBackup", "Open Backup…(&B)"),
                         item("miCompare", "Compare With File…(&M)"), item("miSave", "Save(&S)", "save"),
                         item("miPrint", "Print(&P)", "print"), item("miPrintPreview", "Print Preview(&V)"), sep(),
                         item("miImportChannels", "Import Channels…(&I)"), item("miExportChannels", "Export Channels…(&E)"),
                         sep(), item("miRecent", "Recent Files(&R)"), sep(), item("miExit", "Exit(&X)")});
    bar.entries << menu("miEdit", "Edit(&E)",
                        {item("miUndo", "Undo(&U)", "undo"), item("miRedo", "Redo(&D)", "redo"), sep(), item("miCut", "Cut(&T)"),
                         item("miCopy", "Copy(&P)"), item("miPaste", "Paste(&A)"), item("miDelete", "Delete(&L)"), sep(),
                         item("miInsertChannel", "Insert Channel(&I)"), item("miDeleteChannel", "Delete Channel(&H)"),
                         item("miMoveUp", "Move Up(&M)"), item("miMoveDown", "Move Down(&W)"),
                         item("miSortRx", "Sort by RX Freq(&S)"), sep(), item("miModel", "Model Information(&N)"), item("miChannel", "Channel Information(&C)"),
                         item("miVFO", "VFO(&V)"), item("miCommonSet", "Optional Features(&O)"), item("miDTMF", "DTMF(&F)"),
                         item("miMSK", "MSK(&K)"), item("mi5Tone", "5-Tone(&5)"), item("miStun", "DisStun(&G)"),
                         item("miKeySet", "Key Assignment(&Y)"), item("miRadio", "Radio(&R)"),
                         item("miMessage", "Embedded Message(&E)"), item("miBatch", "Batch Edit(&B)")});
    bar.entries << menu("miProgram", "Program(&P)",
                        {item("miRead", "Read from Radio(&R)", "read"), item("miWrite", "Write to Radio(&W)", "write"),
                         item("miFleetWrite", "Fleet Write…(&F)"), sep(), item("miVerifyAfterWrite", "Verify After Write(&V)")});
    bar.entries << item("miComPort", "Communication Port(&C)");
    bar.entries << menu("miLanguage", "Language(&L)", {item("miChinese", "Chinese(&C)"), item("miEnglish", "English(&E)")});
    bar.entries << menu("miView", "View(&V)",
                        {item("miTreeView", "TreeView(&R)"), item("miToolBar", "ToolBar(&T)"),
                         item("miStatusBar", "StatusBar(&S)"), sep(), item("miEnglish", "English(&E)"),
                         item("miChinese", "Chinese(&C)")});
    bar.entries << menu("miWindows", "Windows(&W)",
                        {item("miCascade", "Cascade(&C)"), item("miTileV", "TileVertical(&V)"),
                         item("miTileH", "TileHorizontal(&H)"), item("miArrange", "ArrangeIcons(&A)"), sep(),
                         item("miCloseAll", "Close All Windows(&W)")});
    bar.entries << menu("miHelp", "Help(&H)",
                        {item("miUserGuide", "User Guide(&G)"), item("miCheckCable", "Check Cable…(&C)"),
                         item("miAbout", "About...(&A)", "about")});
    LayoutBand tools{QStringLiteral("ToolBar"), {}};
    tools.entries << item("miNew", "New", "new") << item("miOpen", "Open", "open") << item("miSave", "Save", "save")
                  << sep() << item("miUndo", "Undo", "undo") << item("miRedo", "Redo", "redo") << sep()
                  << item("miPrint", "Print", "print") << sep() << item("miRead", "Read", "read")
                  << item("miWrite", "Write", "write") << sep() << item("miAbout", "About", "about");
    l.bands << bar << tools;
    return l;
}

QString LayoutFileName(Language language) {
    return language == Chinese ? QStringLiteral("toolbar_C.tlb") : QStringLiteral("toolbar_E.tlb");
}

Layout LoadLayout(const QString& folder, Language language, QString* warning) {
    const QString path = QDir(folder).filePath(LayoutFileName(language));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (warning)
            *warning = QStringLiteral("cannot read %1 (%2); using the built-in menus")
                           .arg(QDir::toNativeSeparators(path), f.errorString());
        return BuiltInLayout();
    }
    QString error;
    const std::optional<Layout> layout = ParseLayout(QString::fromUtf8(f.readAll()), &error);
    if (!layout) {
        if (warning)
            *warning = QStringLiteral("%1 %2; using the built-in menus").arg(QDir::toNativeSeparators(path), error);
        return BuiltInLayout();
    }
    if (warning && !layout->warnings.isEmpty())
        *warning = QDir::toNativeSeparators(path) + QLatin1Char(' ') + layout->warnings.join(QStringLiteral("; "));
    return *layout;
}

} // namespace kestrel
