#pragma once
// Byte streams: the abstract Stream, the array-backed TArrayStream and the growable
// MemoryStream. Values are read and written in the machine's byte order. Errors are
// IOException with the messages given below; short reads and writes of readBlock/writeBlock
// are not errors (the count tells).

#include <complex>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "dwin/core/Exception.h"

namespace dwin::io {

class IOException : public dwin::core::Exception {
public:
    using Exception::Exception;
};

enum class SeekPos : int { Set = 0, Current = 1, End = 2 };

namespace detail {
template <class T>
struct IsComplex : std::false_type {
};
template <class T>
struct IsComplex<std::complex<T>> : std::true_type {
};

// Bytes a value takes in a stream: 80-bit floats take 10, not their padded size.
template <class T>
constexpr std::size_t streamSize()
{
    if constexpr (std::is_same_v<T, long double>)
        return 10;
    else if constexpr (std::is_same_v<T, std::complex<long double>>)
        return 20;
    else
        return sizeof(T);
}
} // namespace detail

// Integers, floating values, complex values and the three character types.
template <class T>
concept StreamValue = std::is_arithmetic_v<T> || detail::IsComplex<T>::value;

class Stream {
public:
    virtual ~Stream() = default;

    // Reads up to size bytes; 0 at the end. Throws IOException when reading is not allowed.
    virtual std::size_t readBlock(void* buffer, std::size_t size) = 0;
    // Reads exactly size bytes or throws IOException "not enough data in stream".
    void readExact(void* buffer, std::size_t size);
    std::size_t read(std::span<std::uint8_t> buffer)
    {
        return readBlock(buffer.data(), buffer.size());
    }

    // Sets the value to its type's initial value, then reads its bytes.
    template <StreamValue T>
    void read(T& value)
    {
        value = initialValue<T>();
        if constexpr (std::is_same_v<T, std::complex<long double>>) {
            // two 10-byte parts; in memory each part is padded
            long double part[2] = {value.real(), value.imag()};
            readExact(&part[0], 10);
            value.real(part[0]);
            readExact(&part[1], 10);
            value.imag(part[1]);
        } else {
            readExact(&value, detail::streamSize<T>());
        }
    }
    void read(std::string& text); // 32-bit length, then the bytes
    void read(std::u16string& text); // 32-bit length, then the UTF-16 units
    std::string readString(std::size_t length);
    std::u16string readWideString(std::size_t length);
    virtual std::uint64_t available() { return 0; }

    // Writes up to size bytes and gives the count. Throws IOException when writing is not allowed.
    virtual std::size_t writeBlock(const void* buffer, std::size_t size) = 0;
    // Writes all bytes or throws IOException "unable to write to stream".
    void writeExact(const void* buffer, std::size_t size);
    std::size_t write(std::span<const std::uint8_t> buffer)
    {
        return writeBlock(buffer.data(), buffer.size());
    }
    template <StreamValue T>
    void write(const T& value)
    {
        if constexpr (std::is_same_v<T, std::complex<long double>>) {
            const long double part[2] = {value.real(), value.imag()};
            writeExact(&part[0], 10);
            writeExact(&part[1], 10);
        } else {
            writeExact(&value, detail::streamSize<T>());
        }
    }
    void write(std::string_view text); // 32-bit length, then the bytes
    void write(std::u16string_view text); // 32-bit length, then the units
    void writeString(std::string_view text); // the bytes only, no length, no terminator
    void writeWideString(std::u16string_view text);

    // The source's whole content (this stream seekable) or the rest of it, in 128-byte blocks.
    void copyFrom(Stream& source);
    void copyFrom(Stream& source, std::uint64_t count);

    // Origin Set, Current or End; gives the new position.
    virtual std::uint64_t seek(std::int64_t offset, SeekPos origin) = 0;
    std::uint64_t seekSet(std::int64_t offset) { return seek(offset, SeekPos::Set); }
    std::uint64_t seekCur(std::int64_t offset) { return seek(offset, SeekPos::Current); }
    std::uint64_t seekEnd(std::int64_t offset) { return seek(offset, SeekPos::End); }
    std::uint64_t position() { return seek(0, SeekPos::Current); }
    // Throws IOException "Stream is not seekable" unless seekable.
    std::uint64_t size();
    bool eof();
    bool isOpen() const { return isOpen_; }
    virtual void flush() { pushedBack_.clear(); }
    virtual void close();

    bool readable() const { return readable_; }
    bool writeable() const { return writeable_; }
    bool seekable() const { return seekable_; }

    // A readable stream's content as text; otherwise the class name.
    virtual std::string toString();
    virtual std::string className() const { return "dwin.io.Stream.Stream"; }

protected:
    Stream() = default;

    bool readable_ = false;
    bool writeable_ = false;
    bool seekable_ = false;
    bool isOpen_ = true;
    bool endSeen_ = false;
    bool lastWasCr_ = false;
    std::u16string pushedBack_;

private:
    template <class T>
    static T initialValue()
    {
        if constexpr (std::is_same_v<T, char> || std::is_same_v<T, char8_t>)
            return T(0xFF);
        else if constexpr (std::is_same_v<T, char16_t> || std::is_same_v<T, char32_t> ||
                           std::is_same_v<T, wchar_t>)
            return T(0xFFFF);
        else if constexpr (std::is_floating_point_v<T>)
            return std::numeric_limits<T>::quiet_NaN();
        else if constexpr (detail::IsComplex<T>::value) {
            using V = typename T::value_type;
            return T(std::numeric_limits<V>::quiet_NaN(), std::numeric_limits<V>::quiet_NaN());
        } else
            return T(0);
    }
};

// A stream over a byte buffer (a std::vector<std::uint8_t>): readable, writeable, seekable.
// A write is cut to the room left in the buffer; the buffer never grows here.
template <class Buffer>
class TArrayStream : public Stream {
public:
    explicit TArrayStream(Buffer buffer) : buf_(std::move(buffer)), len_(buf_.size())
    {
        readable_ = writeable_ = seekable_ = true;
    }

    std::size_t readBlock(void* buffer, std::size_t size) override
    {
        if (!readable_)
            throw IOException("Stream is not readable");
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, len_ - cur_));
        if (n != 0)
            std::memcpy(buffer, buf_.data() + cur_, n);
        cur_ += n;
        return n;
    }

    std::size_t writeBlock(const void* buffer, std::size_t size) override
    {
        if (!writeable_)
            throw IOException("Stream is not writeable");
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, buf_.size() - cur_));
        if (n != 0)
            std::memcpy(buf_.data() + cur_, buffer, n);
        cur_ += n;
        if (cur_ > len_)
            len_ = cur_;
        return n;
    }

    std::uint64_t seek(std::int64_t offset, SeekPos origin) override
    {
        if (!seekable_)
            throw IOException("Stream is not seekable");
        __int128 target = offset;
        if (origin == SeekPos::Current)
            target += cur_;
        else if (origin == SeekPos::End)
            target += len_;
        if (target < 0)
            target = 0;
        if (target > static_cast<__int128>(len_))
            target = len_;
        cur_ = static_cast<std::uint64_t>(target);
        return cur_;
    }

    std::uint64_t available() override { return len_ - cur_; }

    // The valid bytes; throws IOException "Stream too big" above 4294967295 of them.
    std::span<const std::uint8_t> data() const
    {
        if (len_ > 0xFFFFFFFFull)
            throw IOException("Stream too big");
        return {buf_.data(), static_cast<std::size_t>(len_)};
    }

    std::string toString() override
    {
        auto bytes = data();
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    std::string className() const override { return "dwin.io.Stream.TArrayStream"; }

    std::size_t bufferLength() const { return buf_.size(); }

protected:
    Buffer buf_;
    std::uint64_t len_ = 0;
    std::uint64_t cur_ = 0;
};

// A TArrayStream whose buffer grows on writing (to twice what is needed), so a write always fits.
class MemoryStream : public TArrayStream<std::vector<std::uint8_t>> {
public:
    MemoryStream() : TArrayStream(std::vector<std::uint8_t>{}) {}
    explicit MemoryStream(std::vector<std::uint8_t> buffer) : TArrayStream(std::move(buffer)) {}

    void reserve(std::size_t count)
    {
        if (cur_ + count > buf_.size())
            buf_.resize(2 * (cur_ + count));
    }
    std::size_t writeBlock(const void* buffer, std::size_t size) override
    {
        reserve(size);
        return TArrayStream::writeBlock(buffer, size);
    }
    std::string className() const override { return "dwin.io.Stream.MemoryStream"; }
};

} // namespace dwin::io
