#include "qmk/config/PreferenceStore.h"

#include "qmk/config/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qmk::config {

namespace {

constexpr std::uintmax_t maxFileSize = 1024 * 1024; // a settings file is a few lines

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\f';
}

// Splits the text into logical lines: a line ending in an odd number of "\" goes on with the
// next one, whose leading blanks are dropped.
std::vector<std::string> logicalLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string current;
    bool continuing = false;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n')
            ++pos;
        std::size_t start = 0;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        line.remove_prefix(start);
        if (!continuing && (line.empty() || line[0] == '#' || line[0] == '!')) {
            if (end >= text.size())
                break;
            continue;
        }
        std::size_t slashes = 0;
        while (slashes < line.size() && line[line.size() - 1 - slashes] == '\\')
            ++slashes;
        if (slashes % 2 == 1) {
            current.append(line.substr(0, line.size() - 1));
            continuing = true;
        } else {
            current.append(line);
            lines.push_back(std::move(current));
            current.clear();
            continuing = false;
        }
        if (end >= text.size())
            break;
    }
    if (continuing)
        lines.push_back(std::move(current));
    return lines;
}

void appendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xc0 | (code >> 6));
        out += char(0x80 | (code & 0x3f));
    } else {
        out += char(0xe0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3f));
        out += char(0x80 | (code & 0x3f));
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads one escaped text from line[pos...]; a key stops at an unescaped "=", ":" or blank.
std::string unescape(std::string_view line, std::size_t& pos, bool isKey)
{
    std::string out;
    while (pos < line.size()) {
        char c = line[pos];
        if (isKey && (c == '=' || c == ':' || isBlank(c)))
            break;
        ++pos;
        if (c != '\\' || pos >= line.size()) {
            if (c != '\\')
                out += c;
            continue;
        }
        char e = line[pos++];
        switch (e) {
        case 't': out += '\t'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 'f': out += '\f'; break;
        case 'u': {
            unsigned code = 0;
            std::size_t digits = 0;
            while (digits < 4 && pos < line.size() && hexValue(line[pos]) >= 0) {
                code = code * 16 + unsigned(hexValue(line[pos++]));
                ++digits;
            }
            if (digits == 4)
                appendUtf8(out, code);
            else
                out += "u";
            break;
        }
        default: out += e;
        }
    }
    return out;
}

std::string escape(std::string_view text, bool isKey)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\f': out += "\\f"; break;
        case '=':
        case ':':
        case '#':
        case '!':
            out += '\\';
            out += c;
            break;
        case ' ':
            if (isKey || i == 0)
                out += "\\ ";
            else
                out += ' ';
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04X", unsigned(static_cast<unsigned char>(c)));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out;
}

} // namespace

PreferenceStore::PreferenceStore(std::string filePath) : filePath_(std::move(filePath))
{
}

std::map<std::string, std::string> PreferenceStore::parse(std::string_view text)
{
    std::map<std::string, std::string> values;
    for (const std::string& line : logicalLines(text)) {
        std::size_t pos = 0;
        std::string key = unescape(line, pos, true);
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        if (pos < line.size() && (line[pos] == '=' || line[pos] == ':'))
            ++pos;
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        values[key] = unescape(line, pos, false);
    }
    return values;
}

std::string PreferenceStore::format(const std::map<std::string, std::string>& values)
{
    std::string out = "#Quillmark settings\n";
    for (const auto& [key, value] : values)
        out += escape(key, true) + "=" + escape(value, false) + "\n";
    return out;
}

void PreferenceStore::load()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(filePath_, ec);
    if (ec && status.type() != fs::file_type::not_found)
        throw PreferenceStoreException("cannot read " + filePath_ + ": " + ec.message());
    if (!fs::exists(status))
        throw PreferenceStoreException("no settings file " + filePath_);
    if (!fs::is_regular_file(status))
        throw PreferenceStoreException(filePath_ + " is not a file");
    const std::uintmax_t size = fs::file_size(filePath_, ec);
    if (ec)
        throw PreferenceStoreException("cannot read " + filePath_ + ": " + ec.message());
    if (size > maxFileSize)
        throw PreferenceStoreException(filePath_ + " is too large (" + std::to_string(size) +
                                       " bytes, at most " + std::to_string(maxFileSize) + ")");
    std::ifstream in(filePath_, std::ios::binary);
    if (!in)
        throw PreferenceStoreException("cannot read " + filePath_ + ": " +
                                       std::error_code(errno, std::generic_category()).message());
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof())
        throw PreferenceStoreException("cannot read " + filePath_);
    values_ = parse(text.str());
}

void PreferenceStore::save() const
{
    try {
        replaceFile(filePath_, format(values_));
    } catch (const std::runtime_error& e) {
        throw PreferenceStoreException(e.what());
    }
}

std::string PreferenceStore::getString(const std::string& key) const
{
    auto it = values_.find(key);
    return it == values_.end() ? std::string() : it->second;
}

void PreferenceStore::setValue(const std::string& key, const std::string& value)
{
    values_[key] = value;
}

bool PreferenceStore::contains(const std::string& key) const
{
    return values_.count(key) != 0;
}

} // namespace qmk::config
