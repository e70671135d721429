#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace images {

namespace {

// Colours shared by several pictures.
const QColor ink(40, 40, 50);
const QColor paper(252, 252, 246);
const QColor green(40, 160, 60);
const QColor darkGreen(20, 100, 35);
const QColor red(205, 40, 40);
const QColor blue(45, 110, 210);
const QColor darkBlue(20, 55, 130);
const QColor gold(225, 175, 40);
const QColor brown(130, 85, 40);

QPen pen(const QColor& colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void disc(QPainter& p, QPointF centre, double radius, const QColor& fill, const QColor& edge)
{
    p.setPen(pen(edge, 1.5));
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
}

// A thick line with a triangular head at `to`.
void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, double width = 4)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length, normal(-unit.y(), unit.x());
    const double head = width * 1.8;
    p.setPen(pen(colour, width));
    p.drawLine(from, to - unit * head);
    p.setPen(pen(colour, 1));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{to, to - unit * head * 1.3 + normal * head,
                            to - unit * head * 1.3 - normal * head});
}

// An arc round `centre` from startDeg turning spanDeg counter-clockwise, with a head at its end.
void arcArrow(QPainter& p, QPointF centre, double radius, double startDeg, double spanDeg,
              const QColor& colour)
{
    const QRectF box(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
    p.setPen(pen(colour, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(box, int(startDeg * 16), int((spanDeg - 25) * 16));
    const double end = (startDeg + spanDeg - 25) * std::numbers::pi / 180;
    const QPointF at(centre.x() + radius * std::cos(end), centre.y() - radius * std::sin(end));
    const QPointF along(-std::sin(end), -std::cos(end)), out(std::cos(end), -std::sin(end));
    p.setPen(pen(colour, 1));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF{at + along * 7, at + out * 5.5, at - out * 5.5});
}

// A sheet of paper with a folded corner.
void page(QPainter& p, const QRectF& r)
{
    const double fold = r.width() / 3;
    QPolygonF sheet{r.topLeft(),
                    {r.right() - fold, r.top()},
                    {r.right(), r.top() + fold},
                    r.bottomRight(),
                    r.bottomLeft()};
    p.setPen(pen(QColor(110, 110, 120), 1.5));
    p.setBrush(paper);
    p.drawPolygon(sheet);
    p.drawPolyline(QPolygonF{{r.right() - fold, r.top()},
                             {r.right() - fold, r.top() + fold},
                             {r.right(), r.top() + fold}});
}

void globe(QPainter& p, QPointF centre, double radius, const QColor& sea, const QColor& lines)
{
    QRadialGradient shade(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    shade.setColorAt(0, sea.lighter(160));
    shade.setColorAt(1, sea);
    p.setPen(pen(lines, 1.5));
    p.setBrush(shade);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(lines, 1.1));
    p.drawEllipse(centre, radius * 0.45, radius);
    p.drawLine(centre - QPointF(radius, 0), centre + QPointF(radius, 0));
    p.drawLine(centre - QPointF(0, radius), centre + QPointF(0, radius));
}

// A plus sign as an outline; turned 45 degrees it is a cross.
QPainterPath plus(double turn)
{
    QPainterPath bar, across;
    bar.addRoundedRect(QRectF(12, 3, 8, 26), 2, 2);
    across.addRoundedRect(QRectF(3, 12, 26, 8), 2, 2);
    QTransform t;
    t.translate(16, 16).rotate(turn).translate(-16, -16);
    return t.map(bar.united(across));
}

void sign(QPainter& p, double turn, const QColor& fill, const QColor& edge)
{
    p.setPen(pen(edge, 1.5));
    p.setBrush(fill);
    p.drawPath(plus(turn));
}

// A small round mark in the lower right corner with a tick or a bar in it.
void badge(QPainter& p, const QColor& colour, bool tick)
{
    disc(p, {24, 24}, 7, colour, colour.darker(150));
    p.setPen(pen(Qt::white, 2.5));
    p.setBrush(Qt::NoBrush);
    if (tick)
        p.drawPolyline(QPolygonF{{20.5, 24}, {23.5, 27}, {28, 21}});
    else
        p.drawLine(QPointF(20, 24), QPointF(28, 24));
}

// A key lying from the lower left to the upper right, its ring at `ring`.
void key(QPainter& p, QPointF ring)
{
    p.save();
    p.translate(ring);
    p.rotate(-35);
    p.setPen(pen(brown, 1.2));
    p.setBrush(gold);
    QPainterPath shape;
    shape.addEllipse(QPointF(0, 0), 6.5, 6.5);
    shape.addRect(QRectF(5, -2, 17, 4));
    shape.addRect(QRectF(17, 2, 2.5, 4));
    shape.addRect(QRectF(12.5, 2, 2.5, 3));
    shape = shape.simplified();
    QPainterPath hole;
    hole.addEllipse(QPointF(-1.5, 0), 2.2, 2.2);
    p.drawPath(shape.subtracted(hole));
    p.restore();
}

// A chain link of two rounded rings crossing each other.
void chain(QPainter& p, const QColor& colour)
{
    p.save();
    p.translate(16, 16);
    p.rotate(-45);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(colour.darker(140), 5));
    p.drawRoundedRect(QRectF(-14, -5, 17, 10), 5, 5);
    p.drawRoundedRect(QRectF(-3, -5, 17, 10), 5, 5);
    p.setPen(pen(colour, 2.5));
    p.drawRoundedRect(QRectF(-14, -5, 17, 10), 5, 5);
    p.drawRoundedRect(QRectF(-3, -5, 17, 10), 5, 5);
    p.restore();
}

// A browser window: frame, blue title bar, white inside.
void window(QPainter& p, const QRectF& r)
{
    p.setPen(pen(QColor(70, 80, 100), 1.5));
    p.setBrush(Qt::white);
    p.drawRoundedRect(r, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(blue);
    p.drawRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, 5));
}

// ---- the pictures

void paintAbout(QPainter& p)
{
    QRadialGradient glow(16, 16, 16);
    glow.setColorAt(0, QColor(255, 255, 255, 230));
    glow.setColorAt(1, QColor(200, 220, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QRectF(0, 0, 32, 32));
    p.save();
    p.translate(4, 4);
    p.scale(0.75, 0.75);
    paintSoft(p);
    p.restore();
}

void paintOk(QPainter& p)
{
    p.setPen(pen(QColor(20, 140, 40), 5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{5, 17}, {13, 25}, {27, 7}});
}

void paintCancel(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setPen(pen(Qt::white, 4.5));
    p.drawLine(QPointF(10, 10), QPointF(22, 22));
    p.drawLine(QPointF(22, 10), QPointF(10, 22));
}

// An eraser lying across a line.
void paintClear(QPainter& p)
{
    p.setPen(QPen(QColor(90, 90, 90), 2));
    p.drawLine(QPointF(3, 28), QPointF(29, 28));
    p.save();
    p.translate(16, 15);
    p.rotate(-35);
    p.setPen(QPen(QColor(80, 40, 60), 1.5));
    p.setBrush(QColor(240, 120, 150));
    p.drawRoundedRect(QRectF(-12, -6, 14, 12), 2, 2);
    p.setBrush(QColor(90, 130, 220));
    p.drawRoundedRect(QRectF(2, -6, 10, 12), 2, 2);
    p.restore();
}

void paintTable(QPainter& p)
{
    p.setPen(QPen(QColor(60, 80, 120), 2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3, 5, 26, 22));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 130, 200));
    p.drawRect(QRectF(4, 6, 24, 6));
    p.setPen(QPen(QColor(60, 80, 120), 1.5));
    p.drawLine(QPointF(3, 19), QPointF(29, 19));
    p.drawLine(QPointF(12, 12), QPointF(12, 27));
    p.drawLine(QPointF(21, 12), QPointF(21, 27));
}

// An open door with an arrow leaving through it.
void paintExit(QPainter& p)
{
    p.setPen(pen(QColor(70, 45, 20), 1.5));
    p.setBrush(QColor(60, 50, 45));
    p.drawRect(QRectF(3, 3, 16, 26));
    p.setBrush(brown);
    p.drawPolygon(QPolygonF{{3, 3}, {13, 7}, {13, 31}, {3, 29}});
    p.setBrush(gold);
    p.drawEllipse(QPointF(11, 18), 1.2, 1.2);
    arrow(p, {15, 16}, {30, 16}, green);
}

// An "i" on a blue disc.
void paintInfo(QPainter& p)
{
    disc(p, {16, 16}, 14, blue, darkBlue);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 9), 2.6, 2.6);
    p.drawRoundedRect(QRectF(13.5, 13.5, 5, 12), 1, 1);
}

void paintRefresh(QPainter& p)
{
    arcArrow(p, {16, 16}, 10, 20, 160, green);
    arcArrow(p, {16, 16}, 10, 200, 160, green);
}

void paintSynchronize(QPainter& p)
{
    arcArrow(p, {16, 16}, 10, 20, 160, blue);
    arcArrow(p, {16, 16}, 10, 200, 160, QColor(235, 130, 20));
}

void paintAdd(QPainter& p)
{
    sign(p, 0, green, darkGreen);
}

void paintRemove(QPainter& p)
{
    sign(p, 45, red, red.darker(160));
}

void paintHome(QPainter& p)
{
    p.setPen(pen(QColor(120, 90, 60), 1.5));
    p.setBrush(QColor(240, 225, 190));
    p.drawRect(QRectF(7, 15, 18, 14));
    p.setPen(pen(red.darker(140), 1.5));
    p.setBrush(red);
    p.drawPolygon(QPolygonF{{2, 16}, {16, 3}, {30, 16}, {26, 17}, {16, 8}, {6, 17}});
    p.setPen(Qt::NoPen);
    p.setBrush(brown);
    p.drawRect(QRectF(13.5, 20, 5, 9));
}

void paintSharewareSites(QPainter& p)
{
    globe(p, {14, 14}, 12, QColor(70, 150, 230), darkBlue);
    badge(p, green, true);
}

void paintBlackSites(QPainter& p)
{
    globe(p, {14, 14}, 12, QColor(60, 60, 60), QColor(15, 15, 15));
    badge(p, red, false);
}

// Three bars growing to the right on a base line.
void paintPageRank(QPainter& p)
{
    p.setPen(pen(darkGreen, 1.2));
    const QColor shades[] = {QColor(150, 210, 150), QColor(90, 185, 95), green};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(shades[i]);
        p.drawRect(QRectF(4 + 9 * i, 22 - 8 * i, 7, 6 + 8 * i));
    }
    p.setPen(pen(ink, 2));
    p.drawLine(QPointF(2, 29), QPointF(30, 29));
}

// A "?" on a blue disc.
void paintHelp(QPainter& p)
{
    disc(p, {16, 16}, 14, blue, darkBlue);
    QPainterPath mark;
    const QRectF bow(11, 6, 10, 10);
    mark.arcMoveTo(bow, 160);
    mark.arcTo(bow, 160, -250);
    mark.lineTo(16, 19.5);
    p.setPen(pen(Qt::white, 3.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(mark);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 25), 2.2, 2.2);
}

// The internal browser: a window with a globe in it.
void paintInternalBrowser(QPainter& p)
{
    window(p, QRectF(2, 3, 28, 26));
    globe(p, {16, 18.5}, 8, QColor(70, 150, 230), darkBlue);
}

// The default browser: a globe with an arrow leaving it.
void paintOpenBrowser(QPainter& p)
{
    globe(p, {13, 19}, 11, QColor(70, 150, 230), darkBlue);
    arrow(p, {16, 16}, {30, 2}, green, 3.5);
}

// A calendar leaf with a red band and a marked day.
void paintToday(QPainter& p)
{
    p.setPen(pen(QColor(110, 110, 120), 1.5));
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(3, 4, 26, 25), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawRect(QRectF(4, 5, 24, 6));
    p.setBrush(QColor(150, 150, 160));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(6 + 6 * col, 14 + 5 * row, 3, 3));
    p.setBrush(blue);
    p.drawRect(QRectF(17, 18, 5, 5));
}

// A price tag with its hole.
void paintVersion(QPainter& p)
{
    p.save();
    p.translate(16, 16);
    p.rotate(-45);
    QPainterPath tag;
    tag.moveTo(-14, 0);
    tag.lineTo(-7, -7);
    tag.lineTo(14, -7);
    tag.lineTo(14, 7);
    tag.lineTo(-7, 7);
    tag.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(-6, 0), 2.2, 2.2);
    p.setPen(pen(QColor(150, 110, 20), 1.5));
    p.setBrush(gold);
    p.drawPath(tag.subtracted(hole));
    p.setPen(pen(QColor(150, 110, 20), 1.5));
    p.drawLine(QPointF(0, -2.5), QPointF(10, -2.5));
    p.drawLine(QPointF(0, 2.5), QPointF(10, 2.5));
    p.restore();
}

void paintUrl(QPainter& p)
{
    chain(p, blue);
}

// A page with a link on it.
void paintPageUrl(QPainter& p)
{
    page(p, QRectF(3, 2, 20, 27));
    p.save();
    p.translate(8, 8);
    p.scale(0.75, 0.75);
    chain(p, green);
    p.restore();
}

void paintFind(QPainter& p)
{
    p.setPen(pen(brown, 5));
    p.drawLine(QPointF(19, 19), QPointF(29, 29));
    QRadialGradient glass(11, 10, 11);
    glass.setColorAt(0, Qt::white);
    glass.setColorAt(1, QColor(150, 200, 245));
    p.setPen(pen(QColor(80, 90, 110), 3));
    p.setBrush(glass);
    p.drawEllipse(QPointF(13, 13), 9, 9);
}

// A "Y" on a purple disc.
void paintYahoo(QPainter& p)
{
    disc(p, {16, 16}, 14, QColor(110, 40, 170), QColor(70, 20, 110));
    p.setPen(pen(Qt::white, 3.5));
    p.drawLine(QPointF(9.5, 8), QPointF(16, 16.5));
    p.drawLine(QPointF(22.5, 8), QPointF(16, 16.5));
    p.drawLine(QPointF(16, 16.5), QPointF(16, 25));
}

// A "G" of four coloured arcs.
void paintGoogle(QPainter& p)
{
    const QRectF ring(5, 5, 22, 22);
    const std::pair<QColor, std::pair<int, int>> arcs[] = {{QColor(219, 68, 55), {40, 110}},
                                                           {QColor(244, 180, 0), {150, 60}},
                                                           {QColor(15, 157, 88), {210, 110}},
                                                           {QColor(66, 133, 244), {320, 40}}};
    for (const auto& [colour, arc] : arcs) {
        p.setPen(QPen(colour, 5, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, arc.first * 16, arc.second * 16);
    }
    p.setPen(QPen(QColor(66, 133, 244), 5, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(16, 16), QPointF(27.5, 16));
}

// A key with a person: the user name.
void paintKeyUser(QPainter& p)
{
    key(p, {10, 23});
    p.setPen(pen(darkBlue, 1.2));
    p.setBrush(QColor(90, 140, 220));
    p.drawPie(QRectF(2, 10, 14, 14), 0, 180 * 16);
    p.setBrush(QColor(250, 215, 180));
    p.drawEllipse(QPointF(9, 7), 4, 4);
}

// A key with a star: the password.
void paintKeyPassword(QPainter& p)
{
    key(p, {10, 23});
    p.setPen(pen(red, 2.5));
    for (int i = 0; i < 3; ++i) {
        const double a = i * std::numbers::pi / 3 + std::numbers::pi / 2;
        const QPointF d(6 * std::cos(a), 6 * std::sin(a));
        p.drawLine(QPointF(9, 9) - d, QPointF(9, 9) + d);
    }
}

// A box with an arrow going down into it.
void paintUpdate(QPainter& p)
{
    p.setPen(pen(QColor(120, 80, 30), 1.5));
    p.setBrush(QColor(220, 175, 110));
    p.drawRect(QRectF(4, 16, 24, 13));
    p.setBrush(QColor(200, 150, 85));
    p.drawPolygon(QPolygonF{{4, 16}, {8, 11}, {24, 11}, {28, 16}});
    arrow(p, {16, 1}, {16, 23}, green, 4.5);
}

// A page with an arrow going up from it: the upload.
void paintSubmit(QPainter& p)
{
    page(p, QRectF(3, 7, 18, 23));
    arrow(p, {22, 28}, {22, 3}, QColor(235, 130, 20), 4.5);
}

// Tallyleaf: a leaf with tally strokes.
void paintTallyleaf(QPainter& p)
{
    QPainterPath leaf;
    leaf.moveTo(4, 28);
    leaf.cubicTo(2, 12, 14, 3, 29, 3);
    leaf.cubicTo(29, 18, 20, 30, 4, 28);
    p.setPen(pen(darkGreen, 1.5));
    p.setBrush(QColor(90, 180, 70));
    p.drawPath(leaf);
    p.setPen(pen(darkGreen, 1.2));
    p.drawLine(QPointF(4, 28), QPointF(24, 8));
    p.setPen(pen(Qt::white, 2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(11 + 4 * i, 12 + 1 * i), QPointF(13 + 4 * i, 21 + 1 * i));
}

// Driftnote: a yellow note with drifting lines.
void paintDriftnote(QPainter& p)
{
    p.save();
    p.translate(16, 16);
    p.rotate(-8);
    p.setPen(pen(QColor(170, 140, 20), 1.5));
    p.setBrush(QColor(255, 230, 90));
    p.drawRect(QRectF(-12, -12, 24, 24));
    p.setPen(pen(blue, 1.8));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        QPainterPath wave;
        const double y = -5 + 6 * i;
        wave.moveTo(-8, y);
        wave.cubicTo(-4, y - 3, 0, y + 3, 4, y);
        wave.cubicTo(6, y - 1.5, 8, y - 1.5, 8, y);
        p.drawPath(wave);
    }
    p.restore();
}

} // namespace

// The program's mark: a blue tile with a white page and a quill across it.
void paintSoft(QPainter& p)
{
    QLinearGradient tile(0, 0, 0, 32);
    tile.setColorAt(0, QColor(58, 120, 214));
    tile.setColorAt(1, QColor(24, 64, 150));
    p.setPen(QPen(QColor(16, 42, 100), 1));
    p.setBrush(tile);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(8, 6, 14, 20));
    p.setPen(QPen(QColor(120, 140, 170), 1.2));
    for (double y = 11; y < 24; y += 3.5)
        p.drawLine(QPointF(10.5, y), QPointF(19, y));
    QPainterPath quill;
    quill.moveTo(27, 3);
    quill.cubicTo(20, 6, 15, 14, 12.5, 24);
    quill.cubicTo(17, 17, 23, 11, 27, 3);
    p.setPen(QPen(QColor(120, 60, 10), 0.8));
    p.setBrush(QColor(245, 190, 60));
    p.drawPath(quill);
    p.setPen(QPen(QColor(40, 30, 20), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 24), QPointF(11.5, 27));
}

QImage draw(int size, const Painter& paint, bool greyed)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paint(p);
    }
    if (!greyed)
        return image;
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const int grey = 110 + qGray(line[x]) * 4 / 10;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return image;
}

const std::vector<Picture>& pictures()
{
    static const std::vector<Picture> table = {
        {"soft32.png", 32, paintSoft},
        {"about128.png", 128, paintAbout},
        {"btnOk16.png", 16, paintOk},
        {"btnCancel16.png", 16, paintCancel},
        {"clear16.png", 16, paintClear},
        {"table16.png", 16, paintTable},
        {"exit16.png", 16, paintExit},
        {"about16.png", 16, paintInfo},
        {"refresh16.gif", 16, paintRefresh},
        {"add16.gif", 16, paintAdd},
        {"addDisabled16.gif", 16, paintAdd, true},
        {"remove16.gif", 16, paintRemove},
        {"removeDisabled16.gif", 16, paintRemove, true},
        {"home16.png", 16, paintHome},
        {"sharewareSites16.gif", 16, paintSharewareSites},
        {"blackSites16.gif", 16, paintBlackSites},
        {"pagerank16.png", 16, paintPageRank},
        {"synchronize16.png", 16, paintSynchronize},
        {"help16.gif", 16, paintHelp},
        {"helpDisabled16.gif", 16, paintHelp, true},
        {"ie16.png", 16, paintInternalBrowser},
        {"openBrowser16.png", 16, paintOpenBrowser},
        {"today16.png", 16, paintToday},
        {"version16.png", 16, paintVersion},
        {"url16.png", 16, paintUrl},
        {"url16_2.png", 16, paintPageUrl},
        {"find16.png", 16, paintFind},
        {"yahoo16.png", 16, paintYahoo},
        {"google16.png", 16, paintGoogle},
        {"keyUser16.gif", 16, paintKeyUser},
        {"keyPass16.gif", 16, paintKeyPassword},
        {"systemSoftwareUpdate16.png", 16, paintUpdate},
        {"opmlExportAll16.png", 16, paintSubmit},
        {"tallyleaf16.png", 16, paintTallyleaf},
        {"driftnote16.png", 16, paintDriftnote},
    };
    return table;
}

} // namespace images
