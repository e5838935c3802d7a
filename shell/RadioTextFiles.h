#pragma once
// The radio text as a second file type of the main window: the file types its Open,
// Save and Compare With File dialogs offer, and a file of either type read into an
// image with the errors of a text shown as the command line shows them.
#include "core/AppContext.h"

#include <QString>
#include <QStringList>

namespace kestrel {

// "Kestrel Text Files (*.yaml)" / "Kestrel 文本文件 (*.yaml)".
QString RadioTextFilter(const AppContext& app);
// The written data file type first, then the text type, for an open dialog.
QString OpenFileFilters(const AppContext& app, const QString& dataFilter);

// Reads a .dat file or a radio text into `image`. False with the message to show
// (one line per error, "radio.yaml:12:5: ...") and `image` unchanged.
bool LoadDataOrTextFile(const AppContext& app, const QString& path, MemoryImage& image, QString* message);

// Writes the image as a .dat file, or as a radio text when the name ends in .yaml/.yml.
bool SaveDataOrTextFile(const AppContext& app, const QString& path, QString* error);

} // namespace kestrel
