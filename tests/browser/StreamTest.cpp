// Byte streams and their COM face.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dwin/io/Stream.h"
#include "dwin/sys/win32/com/Core.h"

using namespace dwin::io;
using dwin::sys::win32::com::ComPtr;
using dwin::sys::win32::com::COMStream;
using namespace winapi;

namespace {

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

TEST(MemoryStream, EmptyStreamHasSizeZeroAndReadsNothing)
{
    auto memory = std::make_shared<MemoryStream>();
    EXPECT_EQ(memory->size(), 0u);
    EXPECT_TRUE(memory->eof());
    auto stream = ComPtr<IStream>::adopt(new COMStream(memory));
    char buffer[4];
    ULONG got = 99;
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &got), S_OK);
    EXPECT_EQ(got, 0u);
}

TEST(MemoryStream, WriteGrowsBufferToTwiceTheNeedAndReadsBack)
{
    MemoryStream m;
    m.writeString("0123456789");
    EXPECT_EQ(m.bufferLength(), 20u);
    EXPECT_EQ(m.size(), 10u);
    EXPECT_EQ(m.position(), 10u);
    m.writeString("abcde"); // 15 fits in 20: no growth
    EXPECT_EQ(m.bufferLength(), 20u);
    m.writeString("ABCDEFGH"); // 23 does not: 46
    EXPECT_EQ(m.bufferLength(), 46u);
    EXPECT_EQ(m.size(), 23u);
    m.seekSet(0);
    EXPECT_EQ(m.readString(23), "0123456789abcdeABCDEFGH");
    EXPECT_EQ(m.toString(), "0123456789abcdeABCDEFGH");
    EXPECT_EQ(m.data().size(), 23u);
}

TEST(MemoryStream, SeekClampsToStartAndLength)
{
    MemoryStream m;
    m.writeString("hello");
    EXPECT_EQ(m.seekSet(-3), 0u);
    EXPECT_EQ(m.seekCur(2), 2u);
    EXPECT_EQ(m.seekEnd(4), 5u);
    EXPECT_EQ(m.seekEnd(-1), 4u);
    EXPECT_EQ(m.seekCur(-100), 0u);
    EXPECT_EQ(m.available(), 5u);
}

TEST(MemoryStream, ValuesRoundTripAndReadsStartFromInitialValues)
{
    MemoryStream m;
    m.write(std::int8_t(-5));
    m.write(std::uint16_t(0xBEEF));
    m.write(std::int64_t(-1234567890123));
    m.write(2.5f);
    m.write(-0.125);
    m.write(std::complex<double>(1.5, -2));
    m.write(u'Ж');
    m.write(std::string_view("text"));
    m.write(std::u16string_view(u"wide"));
    m.seekSet(0);
    std::int8_t a;
    std::uint16_t b;
    std::int64_t c;
    float d;
    double e;
    std::complex<double> f;
    char16_t g;
    std::string h;
    std::u16string i;
    m.read(a), m.read(b), m.read(c), m.read(d), m.read(e), m.read(f), m.read(g), m.read(h),
        m.read(i);
    EXPECT_EQ(a, -5);
    EXPECT_EQ(b, 0xBEEF);
    EXPECT_EQ(c, -1234567890123);
    EXPECT_EQ(d, 2.5f);
    EXPECT_EQ(e, -0.125);
    EXPECT_EQ(f, std::complex<double>(1.5, -2));
    EXPECT_EQ(g, u'Ж');
    EXPECT_EQ(h, "text");
    EXPECT_EQ(i, u"wide");
    EXPECT_TRUE(m.eof());
    double nan = 0;
    EXPECT_THROW(m.read(nan), IOException);
    EXPECT_TRUE(std::isnan(nan)); // set before the failed read
    char32_t ch = 0;
    EXPECT_THROW(m.read(ch), IOException);
    EXPECT_EQ(ch, 0xFFFFu);
}

TEST(MemoryStream, LongDoubleTakesTenBytes)
{
    MemoryStream m;
    m.write(1.75L);
    EXPECT_EQ(m.size(), 10u);
    m.seekSet(0);
    long double v = 0;
    m.read(v);
    EXPECT_EQ(v, 1.75L);
}

TEST(MemoryStream, ComplexLongDoubleIsTwoTenByteParts)
{
    MemoryStream m;
    m.write(std::complex<long double>(1.5L, -2.25L));
    EXPECT_EQ(m.size(), 20u);
    m.seekSet(10);
    long double imaginary = 0;
    m.read(imaginary); // the second part is the imaginary value on its own
    EXPECT_EQ(imaginary, -2.25L);
    m.seekSet(0);
    std::complex<long double> v;
    m.read(v);
    EXPECT_EQ(v, std::complex<long double>(1.5L, -2.25L));
    EXPECT_TRUE(m.eof());
}

TEST(Stream, ShortDataAndClosedStreamsGiveTheirMessages)
{
    MemoryStream m(bytes("abc"));
    try {
        m.readString(4);
        FAIL();
    } catch (const IOException& e) {
        EXPECT_STREQ(e.what(), "not enough data in stream");
    }
    m.close();
    EXPECT_FALSE(m.isOpen());
    try {
        m.size();
        FAIL();
    } catch (const IOException& e) {
        EXPECT_STREQ(e.what(), "Stream is not seekable");
    }
    try {
        char c;
        m.readBlock(&c, 1);
        FAIL();
    } catch (const IOException& e) {
        EXPECT_STREQ(e.what(), "Stream is not readable");
    }
    EXPECT_EQ(m.toString(), "abc"); // an array stream shows its bytes even when closed
}

// A read-only stream that cannot seek, over a text.
class PipeStream : public Stream {
public:
    explicit PipeStream(std::string data) : data_(std::move(data)) { readable_ = true; }
    std::size_t readBlock(void* buffer, std::size_t size) override
    {
        const std::size_t n = std::min(size, data_.size() - at_);
        std::memcpy(buffer, data_.data() + at_, n);
        at_ += n;
        return n;
    }
    std::size_t writeBlock(const void*, std::size_t) override
    {
        throw IOException("Stream is not writeable");
    }
    std::uint64_t seek(std::int64_t, SeekPos) override
    {
        throw IOException("Stream is not seekable");
    }

private:
    std::string data_;
    std::size_t at_ = 0;
};

TEST(Stream, LengthBeyondTheContentIsRefusedWithoutAllocatingIt)
{
    // A length near 4 GiB in front of three bytes: refused at once, on either kind of stream.
    std::string framed = "\xF0\xFF\xFF\xFF"
                         "abc";
    for (int wide = 0; wide < 2; ++wide) {
        MemoryStream memory(bytes(framed));
        PipeStream pipe(framed);
        for (Stream* s : {static_cast<Stream*>(&memory), static_cast<Stream*>(&pipe)}) {
            try {
                if (wide) {
                    std::u16string text;
                    s->read(text);
                } else {
                    std::string text;
                    s->read(text);
                }
                ADD_FAILURE() << "a length the stream does not hold was read";
            } catch (const IOException& e) {
                EXPECT_STREQ(e.what(), "not enough data in stream");
            }
        }
    }
    EXPECT_THROW(MemoryStream(bytes("ab")).readWideString(std::size_t(-1) / 2 + 1), IOException);
    // Texts that are there still read whole, across the read steps of an unseekable stream.
    const std::string big(200 * 1024 + 7, 'q');
    PipeStream pipe(std::string("\x07\x20\x03\x00", 4) + big + "tail");
    std::string text;
    pipe.read(text);
    EXPECT_EQ(text, big);
    EXPECT_EQ(pipe.readString(4), "tail");
}

TEST(TArrayStream, FixedBufferCutsWritesToTheRoomLeft)
{
    TArrayStream<std::vector<std::uint8_t>> s(std::vector<std::uint8_t>(6, '.'));
    s.seekSet(4);
    EXPECT_EQ(s.writeBlock("XYZ", 3), 2u);
    EXPECT_EQ(s.bufferLength(), 6u);
    EXPECT_EQ(s.toString(), "....XY");
    try {
        s.writeString("more");
        FAIL();
    } catch (const IOException& e) {
        EXPECT_STREQ(e.what(), "unable to write to stream");
    }
}

TEST(Stream, CopyFromTakesTheWholeSourceAndKeepsItsPosition)
{
    MemoryStream source(bytes(std::string(300, 'q') + "end"));
    source.seekSet(7);
    MemoryStream target;
    target.copyFrom(source);
    EXPECT_EQ(target.size(), 303u);
    EXPECT_EQ(source.position(), 7u);
    MemoryStream part;
    part.copyFrom(source, 5);
    EXPECT_EQ(part.toString(), "qqqqq");
    EXPECT_EQ(source.position(), 12u);
}

TEST(COMStream, SeekStatAndTheRefusedOrigin)
{
    auto memory = std::make_shared<MemoryStream>();
    memory->writeString("0123456789");
    auto stream = ComPtr<IStream>::adopt(new COMStream(memory));
    ULONGLONG at = 0;
    EXPECT_EQ(stream->Seek(0, STREAM_SEEK_END, &at), S_OK);
    EXPECT_EQ(at, 10u);
    EXPECT_EQ(stream->Seek(3, STREAM_SEEK_SET, nullptr), S_OK);
    EXPECT_EQ(stream->Seek(2, STREAM_SEEK_CUR, &at), S_OK);
    EXPECT_EQ(at, 5u);
    try {
        stream->Seek(0, 3, &at);
        FAIL();
    } catch (const dwin::core::IllegalArgumentException& e) {
        EXPECT_STREQ(e.what(), "origin");
    }
    EXPECT_EQ(memory->position(), 5u); // nothing moved

    STATSTG stat;
    std::memset(&stat, 0xAB, sizeof stat);
    EXPECT_EQ(stream->Stat(&stat, 0), S_OK);
    EXPECT_EQ(stat.type, STGTY_STREAM);
    EXPECT_EQ(stat.cbSize, 10u);
    EXPECT_EQ(stat.pwcsName, nullptr);
    EXPECT_EQ(stat.mtime.dwLowDateTime | stat.ctime.dwHighDateTime | stat.atime.dwLowDateTime, 0u);
    EXPECT_EQ(stat.grfMode | stat.grfLocksSupported | stat.grfStateBits, 0u);
    EXPECT_TRUE(IsEqualGUID(stat.clsid, GUID_NULL));
    EXPECT_EQ(memory->position(), 5u);
}

TEST(COMStream, ReadWriteAndTheUnimplemented)
{
    auto memory = std::make_shared<MemoryStream>();
    auto stream = ComPtr<IStream>::adopt(new COMStream(memory));
    ULONG n = 0;
    EXPECT_EQ(stream->Write("abcdef", 6, &n), S_OK);
    EXPECT_EQ(n, 6u);
    stream->Seek(1, STREAM_SEEK_SET, nullptr);
    char buffer[10] = {};
    EXPECT_EQ(stream->Read(buffer, sizeof buffer, &n), S_OK); // short read is fine
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(buffer, "bcdef");
    ULONGLONG r = 9, w = 9;
    EXPECT_EQ(stream->CopyTo(nullptr, 5, &r, &w), E_NOTIMPL);
    EXPECT_EQ(r + w, 0u);
    IStream* clone = stream.get();
    EXPECT_EQ(stream->Clone(&clone), E_NOTIMPL);
    EXPECT_EQ(clone, nullptr);
    EXPECT_EQ(stream->SetSize(1), E_NOTIMPL);
    EXPECT_EQ(stream->Commit(0), E_NOTIMPL);
    EXPECT_EQ(stream->Revert(), E_NOTIMPL);
    EXPECT_EQ(stream->LockRegion(0, 1, 0), E_NOTIMPL);
    EXPECT_EQ(stream->UnlockRegion(0, 1, 0), E_NOTIMPL);
}

TEST(COMStream, KeepsTheStreamAliveAndRefusesNone)
{
    EXPECT_THROW((void)new COMStream(nullptr), dwin::core::IllegalArgumentException);
    std::weak_ptr<Stream> watch;
    {
        auto memory = std::make_shared<MemoryStream>();
        watch = memory;
        auto stream = ComPtr<IStream>::adopt(new COMStream(std::move(memory)));
        EXPECT_FALSE(watch.expired());
        void* d = nullptr;
        EXPECT_EQ(stream->QueryInterface(IID_IDispatch, &d), E_NOINTERFACE);
    }
    EXPECT_TRUE(watch.expired());
}

} // namespace
