#pragma once
// The program's pictures: its own icon and the tool bar pictures, drawn from the
// style's standard set so no image files are needed.
#include <QIcon>
#include <QString>

namespace kestrel {

QIcon AppIcon();
// Picture of a layout file's icon name (new, open, save, print, read, write, about, model, batch).
QIcon CommandIcon(const QString& name);

} // namespace kestrel
