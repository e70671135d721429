#pragma once
// A small key=value settings file: "#" (or "!") comment lines, one key=value pair per line, with
// the escapes of Java properties files, so the file stays readable by those rules.
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qmk::config {

// Raised by PreferenceStore::load and save when the file cannot be read or written.
class PreferenceStoreException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PreferenceStore {
public:
    explicit PreferenceStore(std::string filePath);

    // Replaces the values in memory with those of the file. Throws PreferenceStoreException when
    // the file cannot be read; the values in memory are then left as they were.
    void load();
    // Writes every key, sorted, under a "#" comment line, through a link to the file it names
    // (see replaceFile; in a folder that takes no new file, the file itself is written). Throws
    // PreferenceStoreException when the file cannot be written completely; an earlier file is
    // kept in that case, unless it was being written in place.
    void save() const;

    // The value of key, or the empty text when the key is absent.
    std::string getString(const std::string& key) const;
    void setValue(const std::string& key, const std::string& value);
    bool contains(const std::string& key) const;
    const std::map<std::string, std::string>& values() const { return values_; }
    const std::string& filePath() const { return filePath_; }

    // The file format on its own, for reading and writing text.
    static std::map<std::string, std::string> parse(std::string_view text);
    static std::string format(const std::map<std::string, std::string>& values);

private:
    std::string filePath_;
    std::map<std::string, std::string> values_;
};

} // namespace qmk::config
