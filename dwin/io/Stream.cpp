#include "dwin/io/Stream.h"

#include <algorithm>
#include <array>

namespace dwin::io {

void Stream::readExact(void* buffer, std::size_t size)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (size != 0) {
        const std::size_t n = readBlock(out, size);
        if (n == 0)
            throw IOException("not enough data in stream");
        out += n;
        size -= n;
    }
}

void Stream::read(std::string& text)
{
    std::uint32_t length = 0;
    read(length);
    text = readString(length);
}

void Stream::read(std::u16string& text)
{
    std::uint32_t length = 0;
    read(length);
    text = readWideString(length);
}

namespace {

constexpr std::size_t kReadStep = 64 * 1024;

// `units` units of Text read from the stream. A seekable stream that holds fewer bytes is read
// to its end and refused before anything is allocated; any other grows the text as bytes come.
template <class Text>
Text readUnits(Stream& stream, std::size_t units)
{
    using Unit = typename Text::value_type;
    if (units > std::numeric_limits<std::size_t>::max() / sizeof(Unit))
        throw IOException("not enough data in stream");
    const std::uint64_t bytes = std::uint64_t(units) * sizeof(Unit);
    Text text;
    if (stream.seekable() && stream.readable()) {
        const std::uint64_t left = stream.size() - stream.position();
        if (bytes > left) {
            stream.seekEnd(0);
            throw IOException("not enough data in stream");
        }
        text.resize(units);
        stream.readExact(text.data(), bytes);
        return text;
    }
    for (std::size_t done = 0; done < units;) {
        const std::size_t step = std::min(units - done, kReadStep / sizeof(Unit));
        text.resize(done + step);
        stream.readExact(text.data() + done, step * sizeof(Unit));
        done += step;
    }
    return text;
}

} // namespace

std::string Stream::readString(std::size_t length)
{
    return readUnits<std::string>(*this, length);
}

std::u16string Stream::readWideString(std::size_t length)
{
    return readUnits<std::u16string>(*this, length);
}

void Stream::writeExact(const void* buffer, std::size_t size)
{
    const auto* in = static_cast<const std::uint8_t*>(buffer);
    while (size != 0) {
        const std::size_t n = writeBlock(in, size);
        if (n == 0)
            throw IOException("unable to write to stream");
        in += n;
        size -= n;
    }
}

void Stream::write(std::string_view text)
{
    write(static_cast<std::uint32_t>(text.size()));
    writeString(text);
}

void Stream::write(std::u16string_view text)
{
    write(static_cast<std::uint32_t>(text.size()));
    writeWideString(text);
}

void Stream::writeString(std::string_view text)
{
    writeExact(text.data(), text.size());
}

void Stream::writeWideString(std::u16string_view text)
{
    writeExact(text.data(), text.size() * 2);
}

void Stream::copyFrom(Stream& source)
{
    if (seekable_) {
        const std::uint64_t pos = source.position();
        source.seekSet(0);
        copyFrom(source, source.size());
        source.seekSet(static_cast<std::int64_t>(pos));
        return;
    }
    std::array<std::uint8_t, 128> block{};
    while (!source.eof()) {
        const std::size_t n = source.readBlock(block.data(), block.size());
        writeExact(block.data(), n);
        if (n == 0 && !source.seekable())
            break; // an unseekable source that gives nothing has ended
    }
}

void Stream::copyFrom(Stream& source, std::uint64_t count)
{
    std::array<std::uint8_t, 128> block{};
    while (count != 0) {
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, block.size()));
        source.readExact(block.data(), n);
        writeExact(block.data(), n);
        count -= n;
    }
}

std::uint64_t Stream::size()
{
    if (!seekable_)
        throw IOException("Stream is not seekable");
    const std::uint64_t pos = position();
    const std::uint64_t end = seek(0, SeekPos::End);
    seek(static_cast<std::int64_t>(pos), SeekPos::Set);
    return end;
}

bool Stream::eof()
{
    if (endSeen_ && pushedBack_.empty())
        return true;
    if (seekable_)
        return position() == size();
    return false;
}

void Stream::close()
{
    if (isOpen_)
        flush();
    readable_ = writeable_ = seekable_ = isOpen_ = endSeen_ = lastWasCr_ = false;
}

std::string Stream::toString()
{
    if (!readable_)
        return className();
    if (seekable_) {
        const std::uint64_t pos = position();
        seekSet(0);
        std::string all = readString(static_cast<std::size_t>(size()));
        seekSet(static_cast<std::int64_t>(pos));
        return all;
    }
    std::string all;
    std::size_t block = 4096;
    for (;;) {
        const std::size_t had = all.size();
        all.resize(had + block);
        const std::size_t n = readBlock(all.data() + had, block);
        all.resize(had + n);
        if (n == 0)
            return all;
    }
}

} // namespace dwin::io
