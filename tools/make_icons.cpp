// Writes the program's icon as PNG pictures for the desktop's icon theme:
// org.varnel.Kestrel-48.png, -128.png and -256.png in the folder given as the only
// argument. The pictures come from the same drawing as the window icon, so the build
// needs no SVG converter (and, painting on images only, no display).
#include "shell/AppIconArt.h"

#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons FOLDER\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "make_icons: cannot make %s\n", argv[1]);
        return 2;
    }
    for (int size : {48, 128, 256}) {
        const QString path = folder.filePath(QStringLiteral("org.varnel.Kestrel-%1.png").arg(size));
        if (!kestrel::AppIconImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 2;
        }
    }
    return 0;
}
