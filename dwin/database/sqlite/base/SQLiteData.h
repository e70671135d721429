#pragma once
// SQLiteData: a tagged value carried into and out of statements, and the two extension points
// for a caller's own value types.

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dwin::database::sqlite {

// Value tags. ByColumnType and ByDeclType are only requests to getData; a tag above 8 is a
// caller's own type handled through an IUserDataAdapter.
struct SQLiteDataType {
    enum : std::int32_t {
        ByDeclType = -2,
        ByColumnType = -1,
        Int = 1,
        Long = 2,
        Double = 3,
        Text = 4,
        Text16 = 5,
        Blob = 6,
        Null = 7,
    };
};

// Text encodings, as SQLite numbers them.
struct SQLiteEncoding {
    enum : std::int32_t { UTF8 = 1, UTF16LE = 2, UTF16BE = 3, UTF16 = 4, Any = 5 };
};

using Blob = std::vector<std::byte>;

// A plain value: it owns a copy of its text or blob, so it never refers to the caller's buffer.
// A default-made value has tag -1 and holds nothing.
class SQLiteData {
public:
    using Value = std::variant<std::monostate, std::int32_t, std::int64_t, double, std::string,
                               std::u16string, Blob>;

    SQLiteData() = default;
    // Tag 4 (UTF-8 text).
    explicit SQLiteData(std::string_view text)
        : value(std::string(text)), type(SQLiteDataType::Text)
    {
    }
    explicit SQLiteData(const char* text) : SQLiteData(std::string_view(text)) {}
    // Any tag with any payload, e.g. a caller's own type (tag above 8).
    SQLiteData(std::int32_t tag, Value v) : value(std::move(v)), type(tag) {}

    static SQLiteData ofInt(std::int32_t v) { return {SQLiteDataType::Int, v}; }
    static SQLiteData ofLong(std::int64_t v) { return {SQLiteDataType::Long, v}; }
    static SQLiteData ofDouble(double v) { return {SQLiteDataType::Double, v}; }
    static SQLiteData ofText16(std::u16string_view v)
    {
        return {SQLiteDataType::Text16, std::u16string(v)};
    }
    static SQLiteData ofBlob(std::span<const std::byte> v)
    {
        return {SQLiteDataType::Blob, Blob(v.begin(), v.end())};
    }
    static SQLiteData ofNull() { return {SQLiteDataType::Null, std::monostate{}}; }

    // Payload readers: the stored value when it has that kind, else 0 or empty.
    std::int32_t asInt() const;
    std::int64_t asLong() const;
    double asDouble() const;
    std::string_view asText() const;
    std::u16string_view asText16() const;
    std::span<const std::byte> asBlob() const;

    bool operator==(const SQLiteData&) const = default;

    Value value;
    std::int32_t type = -1;
    std::int32_t reserved = 0; // only copied by the layer
};

// Maps a caller's own value types (tags above 8) onto the base tags 1 to 7.
class IUserDataAdapter {
public:
    virtual ~IUserDataAdapter() = default;
    // A base value (tag 1 to 7) standing for d; used when binding.
    virtual SQLiteData toBase(const SQLiteData& d) = 0;
    // The base tag under which values of the caller's type `tag` are read from a column.
    virtual std::int32_t baseType(std::int32_t tag) = 0;
    // Turns a value read under the base tag into a value of the caller's type `tag`.
    virtual SQLiteData fromBase(const SQLiteData& d, std::int32_t tag) = 0;
};

// Maps a column's declared type text to a tag (getData with ByDeclType).
class IDeclTypeMapper {
public:
    virtual ~IDeclTypeMapper() = default;
    virtual std::int32_t map(std::string_view declType) = 0;
};

// A table of declared type -> tag. A type never registered maps to 0, which getData refuses.
class RegDeclTypeMapper : public IDeclTypeMapper {
public:
    void registerType(std::string_view declType, std::int32_t tag);
    void unregister(std::string_view declType);
    std::int32_t map(std::string_view declType) override;

private:
    std::map<std::string, std::int32_t, std::less<>> types_;
};

// Maps an SQLite storage class (1 to 5) to a tag; throws SQLiteDException "Bad Internal Type"
// for any other value.
std::int32_t storageClassToTag(int storageClass);

// One argument of the any-number bind: an int, a 64-bit int, a double, UTF-8 text, UTF-16 text,
// a blob or an SQLiteData. It only refers to its argument, so it lives within the call only.
class BindValue {
public:
    BindValue(std::int32_t v) : v_(v) {}
    BindValue(std::int64_t v) : v_(v) {}
    BindValue(double v) : v_(v) {}
    BindValue(std::string_view v) : v_(v) {}
    BindValue(const char* v) : v_(std::string_view(v)) {}
    BindValue(const std::string& v) : v_(std::string_view(v)) {}
    BindValue(std::u16string_view v) : v_(v) {}
    BindValue(const std::u16string& v) : v_(std::u16string_view(v)) {}
    BindValue(std::span<const std::byte> v) : v_(v) {}
    BindValue(const Blob& v) : v_(std::span<const std::byte>(v)) {}
    BindValue(const SQLiteData& v) : v_(&v) {}

    using Held = std::variant<std::int32_t, std::int64_t, double, std::string_view,
                              std::u16string_view, std::span<const std::byte>, const SQLiteData*>;
    const Held& held() const { return v_; }

private:
    Held v_;
};

} // namespace dwin::database::sqlite
