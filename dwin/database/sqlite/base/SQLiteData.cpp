#include "dwin/database/sqlite/base/SQLiteData.h"

#include "dwin/database/sqlite/base/Errors.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

namespace {
template <class T, class R>
R payload(const SQLiteData::Value& v, R fallback)
{
    if (const T* p = std::get_if<T>(&v))
        return R(*p);
    return fallback;
}
} // namespace

std::int32_t SQLiteData::asInt() const
{
    return static_cast<std::int32_t>(asLong());
}

// Numbers convert among the three numeric kinds, as SQLite's own readers do.
std::int64_t SQLiteData::asLong() const
{
    if (const auto* p = std::get_if<std::int32_t>(&value))
        return *p;
    if (const auto* p = std::get_if<double>(&value))
        return static_cast<std::int64_t>(*p);
    return payload<std::int64_t, std::int64_t>(value, 0);
}

double SQLiteData::asDouble() const
{
    if (const auto* p = std::get_if<std::int32_t>(&value))
        return *p;
    if (const auto* p = std::get_if<std::int64_t>(&value))
        return static_cast<double>(*p);
    return payload<double, double>(value, 0.0);
}

std::string_view SQLiteData::asText() const
{
    return payload<std::string, std::string_view>(value, {});
}

std::u16string_view SQLiteData::asText16() const
{
    return payload<std::u16string, std::u16string_view>(value, {});
}

std::span<const std::byte> SQLiteData::asBlob() const
{
    return payload<Blob, std::span<const std::byte>>(value, {});
}

void RegDeclTypeMapper::registerType(std::string_view declType, std::int32_t tag)
{
    types_.insert_or_assign(std::string(declType), tag);
}

void RegDeclTypeMapper::unregister(std::string_view declType)
{
    if (auto it = types_.find(declType); it != types_.end())
        types_.erase(it);
}

std::int32_t RegDeclTypeMapper::map(std::string_view declType)
{
    auto it = types_.find(declType);
    return it == types_.end() ? 0 : it->second;
}

std::int32_t storageClassToTag(int storageClass)
{
    switch (storageClass) {
    case SQLITE_INTEGER: return SQLiteDataType::Long;
    case SQLITE_FLOAT: return SQLiteDataType::Double;
    case SQLITE_TEXT: return SQLiteDataType::Text;
    case SQLITE_BLOB: return SQLiteDataType::Blob;
    case SQLITE_NULL: return SQLiteDataType::Null;
    default: throw SQLiteDException("Bad Internal Type");
    }
}

} // namespace dwin::database::sqlite
