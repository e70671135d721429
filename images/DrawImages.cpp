// Build step: draws the program's icons and pictures and writes them, with the resource list
// that embeds them, into the folder given as the only argument.
//
// Only raster painting is used (no text), so no application object or font is needed.
#include "Pictures.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace {

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

void putLe16(QByteArray& out, unsigned v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void putLe32(QByteArray& out, unsigned v)
{
    putLe16(out, v & 0xffff);
    putLe16(out, v >> 16);
}

// A Windows icon file whose entries are PNG images (allowed since Windows Vista).
QByteArray icon(const std::vector<QImage>& images)
{
    QByteArray out;
    putLe16(out, 0);
    putLe16(out, 1);
    putLe16(out, unsigned(images.size()));
    std::vector<QByteArray> data;
    for (const QImage& image : images)
        data.push_back(png(image));
    unsigned offset = 6 + 16 * unsigned(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.append(char(images[i].width() & 0xff));
        out.append(char(images[i].height() & 0xff));
        out.append(char(0)); // no palette
        out.append(char(0));
        putLe16(out, 1); // colour planes
        putLe16(out, 32); // bits per pixel
        putLe32(out, unsigned(data[i].size()));
        putLe32(out, offset);
        offset += unsigned(data[i].size());
    }
    for (const QByteArray& d : data)
        out.append(d);
    return out;
}

// LZW codes of GIF image data (8-bit pixels), packed into bytes least significant bit first.
QByteArray lzw(const std::vector<std::uint8_t>& pixels)
{
    constexpr int clearCode = 256, endCode = 257;
    QByteArray out;
    std::uint32_t bits = 0;
    int count = 0, width = 9, last = endCode;
    auto put = [&](int code) {
        bits |= std::uint32_t(code) << count;
        for (count += width; count >= 8; count -= 8, bits >>= 8)
            out.append(char(bits & 0xff));
    };
    std::map<std::pair<int, int>, int> table;
    put(clearCode);
    int prefix = pixels.front();
    for (std::size_t i = 1; i < pixels.size(); ++i) {
        auto found = table.find({prefix, pixels[i]});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        put(prefix);
        table[{prefix, pixels[i]}] = ++last;
        if (last >= (1 << width))
            ++width;
        if (last == 4095) { // the table is full: start again
            put(clearCode);
            table.clear();
            last = endCode;
            width = 9;
        }
        prefix = pixels[i];
    }
    put(prefix);
    put(endCode);
    if (count > 0)
        out.append(char(bits & 0xff));
    return out;
}

// A GIF file of the image. Pixels less than half opaque become the transparent colour 0; the
// others keep their colour, with channels rounded to fewer bits until 255 colours suffice.
// `expected` receives the image a reader should get back.
QByteArray gif(const QImage& source, QImage& expected)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int w = image.width(), h = image.height();
    std::vector<std::uint8_t> pixels(std::size_t(w) * h);
    std::map<QRgb, int> palette;
    for (int drop = 0; drop < 8; ++drop) {
        const QRgb channel = (0xffu << drop) & 0xffu, mask = channel | channel << 8 | channel << 16;
        palette.clear();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb pixel = image.pixel(x, y);
                int index = 0;
                if (qAlpha(pixel) >= 128)
                    index = palette.emplace(pixel & mask, int(palette.size()) + 1).first->second;
                pixels[std::size_t(y) * w + x] = std::uint8_t(std::min(index, 255));
            }
        if (palette.size() <= 255)
            break;
    }
    std::vector<QRgb> colours(256, 0);
    for (const auto& [colour, index] : palette)
        colours[index] = colour;
    expected = QImage(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int index = pixels[std::size_t(y) * w + x];
            expected.setPixel(x, y, index ? (colours[index] | 0xff000000u) : 0u);
        }
    QByteArray out("GIF89a");
    putLe16(out, unsigned(w));
    putLe16(out, unsigned(h));
    out.append(char(0xf7)).append(char(0)).append(char(0)); // global table of 256 colours
    for (QRgb colour : colours)
        out.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    out.append("\x21\xf9\x04\x01\x00\x00\x00\x00", 8); // colour 0 is transparent
    out.append(char(0x2c));
    putLe32(out, 0);
    putLe16(out, unsigned(w));
    putLe16(out, unsigned(h));
    out.append(char(0)).append(char(8)); // no local table; 8-bit codes
    const QByteArray data = lzw(pixels);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    out.append(char(0)).append(char(0x3b));
    return out;
}

// Reads the bytes back with Qt's own reader and compares them with what was meant.
bool readsBackAs(const QByteArray& bytes, const QImage& expected)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    const QImage read = reader.read().convertToFormat(QImage::Format_ARGB32);
    return read == expected.convertToFormat(QImage::Format_ARGB32);
}

bool write(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath("."))
        return 1;
    QStringList names;
    bool ok =
        write(dir, "soft32.ico",
              icon({images::draw(16, images::paintSoft), images::draw(32, images::paintSoft)}));
    names << "soft32.ico";
    for (const images::Picture& picture : images::pictures()) {
        const QImage image = images::draw(picture.size, picture.paint, picture.greyed);
        const QString name = picture.name;
        QByteArray bytes;
        QImage expected = image;
        if (name.endsWith(".gif"))
            bytes = gif(image, expected);
        else
            bytes = png(image);
        if (!readsBackAs(bytes, expected)) {
            std::fprintf(stderr, "%s does not read back as drawn\n", picture.name);
            ok = false;
        }
        ok = write(dir, name, bytes) && ok;
        names << name;
    }
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/images\">\n";
    for (const QString& name : names)
        qrc += "  <file>" + name.toUtf8() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    ok = write(dir, "images.qrc", qrc) && ok;
    return ok ? 0 : 1;
}
