#pragma once
// Menu and tool bar layouts: which command ids stand in which band and menu, with their
// captions and pictures. Read from toolbar_E.tlb / toolbar_C.tlb beside the program,
// with a built-in layout when a file is missing or broken.
//
// File format (UTF-8 text, one statement per line, "#" starts a comment):
//   band "Menu Bar"                a band: "Menu Bar" (the menu bar) or "ToolBar"
//   menu ID "Caption"              a drop-down menu of the menu bar; its entries follow, up to
//   end                            the closing "end"
//   item ID "Caption" [icon NAME]  a command entry
//   separator                      a separator line
//
// The entry `miRecent` holds the submenu of the files used last. Tool tips, status tips
// and shortcuts are not part of the file: the program gives every entry its tips by
// command id (shell/CommandTips.cpp), falling back to the caption without its access
// key for an id it has no sentence for, so a new command needs no extra work.
#include "core/StringTable.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kestrel {

struct LayoutEntry {
    enum Kind { Item, Menu, Separator } kind = Item;
    QString id;
    QString caption;
    QString icon;
    QList<LayoutEntry> children; // entries of a menu
};

struct LayoutBand {
    QString name;
    QList<LayoutEntry> entries;
};

struct Layout {
    QList<LayoutBand> bands;
    // What the reader passed over (a band named twice, a band it does not know),
    // one line each, "line N: ...".
    QStringList warnings;
    const LayoutBand* band(const QString& name) const;
    // The entry with this id anywhere in the band (menus searched too), or nullptr.
    const LayoutEntry* find(const QString& bandName, const QString& id) const;
};

// Parses a layout file's text. Nothing on failure, with the line and reason in `error`.
std::optional<Layout> ParseLayout(const QString& text, QString* error);

// The layout the program falls back to.
Layout BuiltInLayout();

// "toolbar_E.tlb" for English, "toolbar_C.tlb" for Chinese.
QString LayoutFileName(Language language);

// Reads the layout file of the language from `folder`; on any problem the built-in
// layout, with the reason in `warning`. A file that reads with warnings is used, and
// `warning` lists them.
Layout LoadLayout(const QString& folder, Language language, QString* warning);

} // namespace kestrel
