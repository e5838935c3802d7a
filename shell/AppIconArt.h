#pragma once
// The program's icon, drawn: a kestrel's wing over a radio wave on a round badge. The
// window icon and the PNG icons of the installed program both come from here (QtGui
// only, so the build tool that writes the PNGs needs no widgets); the desktop's scalable
// icon, resources/org.varnel.Kestrel.svg, is the same picture.
#include <QImage>

class QPainter;

namespace kestrel {

// Paints the icon into the square (0, 0, size, size).
void PaintAppIcon(QPainter& painter, int size);

// The icon as a square picture of `size` pixels with a transparent background.
QImage AppIconImage(int size);

} // namespace kestrel
