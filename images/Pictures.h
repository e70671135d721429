#pragma once
// The program's pictures as painting routines, each drawn on a 32 by 32 grid and scaled to its
// size. The table holds every file the program embeds except the icon file "soft32.ico".
#include <QImage>

#include <functional>
#include <vector>

class QPainter;

namespace images {

using Painter = std::function<void(QPainter&)>;

struct Picture {
    const char* name; // file name; ".gif" names are written as GIF, the rest as PNG
    int size; // width and height in pixels
    Painter paint;
    bool greyed = false; // the disabled look: the same picture in light grey
};

const std::vector<Picture>& pictures();
// The program's mark, for the icon file.
void paintSoft(QPainter& p);
// A transparent square image of the given size painted by paint (greyed when asked).
QImage draw(int size, const Painter& paint, bool greyed = false);

} // namespace images
