// Build step: draws the program's icons and pictures and writes them, with the resource list
// that embeds them, into the folder given as the only argument.
//
// Only raster painting is used (no text), so no application object or font is needed.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

using Painter = std::function<void(QPainter&, double)>;

QImage draw(int size, const Painter& paint) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);  // every picture is drawn on a 32 by 32 grid
  paint(p, size / 32.0);
  return image;
}

// The program's mark: a blue tile with a white page and a quill across it.
void paintSoft(QPainter& p, double) {
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
  for (double y = 11; y < 24; y += 3.5) p.drawLine(QPointF(10.5, y), QPointF(19, y));
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

// The about picture: the same mark on a soft round light.
void paintAbout(QPainter& p, double scale) {
  QRadialGradient glow(16, 16, 16);
  glow.setColorAt(0, QColor(255, 255, 255, 230));
  glow.setColorAt(1, QColor(200, 220, 255, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(QRectF(0, 0, 32, 32));
  p.save();
  p.translate(4, 4);
  p.scale(0.75, 0.75);
  paintSoft(p, scale);
  p.restore();
}

void paintOk(QPainter& p, double) {
  p.setPen(QPen(QColor(20, 140, 40), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath tick;
  tick.moveTo(5, 17);
  tick.lineTo(13, 25);
  tick.lineTo(27, 7);
  p.drawPath(tick);
}

void paintCancel(QPainter& p, double) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(205, 40, 40));
  p.drawEllipse(QRectF(2, 2, 28, 28));
  p.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(10, 10), QPointF(22, 22));
  p.drawLine(QPointF(22, 10), QPointF(10, 22));
}

// An eraser lying across a line.
void paintClear(QPainter& p, double) {
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

void paintTable(QPainter& p, double) {
  p.setPen(QPen(QColor(60, 80, 120), 2));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(QRectF(3, 5, 26, 22));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 130, 200));
  p.drawRect(QRectF(4, 6, 24, 6));
  p.setPen(QPen(QColor(60, 80, 120), 1.5));
  p.drawLine(QPointF(3, 19), QPointF(29, 19));
  p.drawLine(QPointF(12, 12), QPointF(12, 27));
  p.drawLine(QPointF(21, 12), QPointF(21, 27));
}

QByteArray png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

void putLe16(QByteArray& out, unsigned v) {
  out.append(char(v & 0xff));
  out.append(char((v >> 8) & 0xff));
}

void putLe32(QByteArray& out, unsigned v) {
  putLe16(out, v & 0xffff);
  putLe16(out, v >> 16);
}

// A Windows icon file whose entries are PNG images (allowed since Windows Vista).
QByteArray icon(const std::vector<QImage>& images) {
  QByteArray out;
  putLe16(out, 0);
  putLe16(out, 1);
  putLe16(out, unsigned(images.size()));
  std::vector<QByteArray> data;
  for (const QImage& image : images) data.push_back(png(image));
  unsigned offset = 6 + 16 * unsigned(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.append(char(images[i].width() & 0xff));
    out.append(char(images[i].height() & 0xff));
    out.append(char(0));  // no palette
    out.append(char(0));
    putLe16(out, 1);   // colour planes
    putLe16(out, 32);  // bits per pixel
    putLe32(out, unsigned(data[i].size()));
    putLe32(out, offset);
    offset += unsigned(data[i].size());
  }
  for (const QByteArray& d : data) out.append(d);
  return out;
}

bool write(const QDir& dir, const QString& name, const QByteArray& bytes) {
  QFile file(dir.filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.mkpath(".")) return 1;
  struct Picture {
    const char* name;
    int size;
    Painter paint;
  };
  const std::vector<Picture> pictures = {
      {"soft32.png", 32, paintSoft},        {"about128.png", 128, paintAbout},
      {"btnOk16.png", 16, paintOk},         {"btnCancel16.png", 16, paintCancel},
      {"clear16.png", 16, paintClear},      {"table16.png", 16, paintTable},
  };
  QStringList names;
  bool ok = write(dir, "soft32.ico", icon({draw(16, paintSoft), draw(32, paintSoft)}));
  names << "soft32.ico";
  for (const Picture& picture : pictures) {
    ok = write(dir, picture.name, png(draw(picture.size, picture.paint))) && ok;
    names << picture.name;
  }
  QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/images\">\n";
  for (const QString& name : names) qrc += "  <file>" + name.toUtf8() + "</file>\n";
  qrc += "</qresource>\n</RCC>\n";
  ok = write(dir, "images.qrc", qrc) && ok;
  return ok ? 0 : 1;
}
