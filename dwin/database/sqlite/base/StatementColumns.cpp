// Statement: the columns of the current row.
#include "dwin/database/sqlite/base/Statement.h"

#include "dwin/database/sqlite/base/Connection.h"

#include <sqlite3.h>

namespace dwin::database::sqlite {

namespace {
std::u16string copy16(const void* text)
{
    return text ? std::u16string(static_cast<const char16_t*>(text)) : std::u16string();
}
} // namespace

bool Statement::hasColumns() const
{
    return handle_ && sqlite3_column_count(handle_) > 0;
}

int Statement::getColumnCount() const
{
    checkStatement();
    return sqlite3_column_count(handle_);
}

int Statement::getDataCount() const
{
    checkStatement();
    return sqlite3_data_count(handle_);
}

void Statement::checkRowIndex(int index) const
{
    if (!handle_ || sqlite3_data_count(handle_) < static_cast<long long>(index) + 1)
        throw SQLiteDException("Not A Row Or Column Index Out Of Range");
}

void Statement::checkColumnIndex(int index) const
{
    if (!handle_ || sqlite3_column_count(handle_) < static_cast<long long>(index) + 1)
        throw SQLiteDException("Not <Select> Or Column Index Out Of Range");
}

std::int32_t Statement::getInt(int index) const
{
    checkRowIndex(index);
    return sqlite3_column_int(handle_, index);
}

std::int64_t Statement::getLong(int index) const
{
    checkRowIndex(index);
    return sqlite3_column_int64(handle_, index);
}

double Statement::getDouble(int index) const
{
    checkRowIndex(index);
    return sqlite3_column_double(handle_, index);
}

std::string Statement::getText(int index) const
{
    return std::string(getTextView(index));
}

std::u16string Statement::getText16(int index) const
{
    return std::u16string(getText16View(index));
}

Blob Statement::getBlob(int index) const
{
    auto view = getBlobView(index);
    return Blob(view.begin(), view.end());
}

std::string_view Statement::getTextView(int index) const
{
    checkRowIndex(index);
    int bytes = sqlite3_column_bytes(handle_, index);
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(handle_, index));
    return text ? std::string_view(text, static_cast<std::size_t>(bytes)) : std::string_view();
}

std::u16string_view Statement::getText16View(int index) const
{
    checkRowIndex(index);
    int bytes = sqlite3_column_bytes16(handle_, index);
    auto text = static_cast<const char16_t*>(sqlite3_column_text16(handle_, index));
    return text ? std::u16string_view(text, static_cast<std::size_t>(bytes) / 2)
                : std::u16string_view();
}

std::span<const std::byte> Statement::getBlobView(int index) const
{
    checkRowIndex(index);
    int bytes = sqlite3_column_bytes(handle_, index);
    auto data = static_cast<const std::byte*>(sqlite3_column_blob(handle_, index));
    return data ? std::span<const std::byte>(data, static_cast<std::size_t>(bytes))
                : std::span<const std::byte>();
}

SQLiteData Statement::getData(int index, std::int32_t tag) const
{
    SQLiteData result;
    if (tag == SQLiteDataType::ByColumnType) {
        tag = storageClassToTag(getColumnType(index));
    } else if (tag == SQLiteDataType::ByDeclType) {
        if (auto mapper = connection_->getDeclTypeMapper())
            tag = mapper->map(getDeclType(index));
    }
    auto adapter = connection_->getUserDataAdapter();
    std::int32_t base = (tag > 8 && adapter) ? adapter->baseType(tag) : tag;
    result.type = base;
    switch (base) {
    case SQLiteDataType::Int: result.value = getInt(index); break;
    case SQLiteDataType::Long: result.value = getLong(index); break;
    case SQLiteDataType::Double: result.value = getDouble(index); break;
    case SQLiteDataType::Text: result.value = getText(index); break;
    case SQLiteDataType::Text16: result.value = getText16(index); break;
    case SQLiteDataType::Blob: result.value = getBlob(index); break;
    case SQLiteDataType::Null: break;
    default: throw SQLiteDException("Invalid Parameter Type");
    }
    if (result.type != tag)
        result = adapter->fromBase(result, tag);
    return result;
}

int Statement::getColumnType(int index) const
{
    checkRowIndex(index);
    return sqlite3_column_type(handle_, index);
}

std::string Statement::getDeclType(int index) const
{
    checkColumnIndex(index);
    const char* text = sqlite3_column_decltype(handle_, index);
    return text ? std::string(text) : std::string();
}

std::u16string Statement::getDeclType16(int index) const
{
    checkColumnIndex(index);
    return copy16(sqlite3_column_decltype16(handle_, index));
}

std::string Statement::getColumnName(int index) const
{
    checkColumnIndex(index);
    const char* text = sqlite3_column_name(handle_, index);
    return text ? std::string(text) : std::string();
}

std::u16string Statement::getColumnName16(int index) const
{
    checkColumnIndex(index);
    return copy16(sqlite3_column_name16(handle_, index));
}

} // namespace dwin::database::sqlite
