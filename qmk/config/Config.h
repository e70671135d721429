#pragma once
// The program's settings store and the owner of its per-user data folder.
//
// One Config exists for the run (getInstance); it is made before the main window, loads
// "qmk.config" from the data folder and is saved when the program ends. The data folder is
// created when missing; when that fails, dataFolderError says why (start-up reports it and
// ends). Nothing here throws: other file failures are reported (loadError, console lines) but
// never stop the program.
#include "qmk/config/PreferenceStore.h"

#include <memory>
#include <optional>
#include <string>

namespace qmk::config {

class Config {
public:
    static constexpr const char* settingsFileName = "qmk.config";
    static constexpr const char* databaseFileName = "qmk.db";

    // The single settings store, made on first use for "qmk.config" in the user's data folder.
    static Config& getInstance();
    // Replaces the single settings store (start-up and tests); the old one is not saved.
    static void setInstance(std::unique_ptr<Config> config);

    // The data folder of defaultDataFolder, created when missing, and the settings file named
    // fileName in it loaded.
    explicit Config(const std::string& fileName);
    // The same with a given data folder.
    Config(std::string dataFolder, const std::string& fileName);

    // Reads the settings file; a missing or unreadable file leaves the store empty (a link to a
    // file not made yet counts as missing). A file that is there but cannot be read as settings
    // (a folder, too large, no permission) is not overwritten by save: loadError says why.
    void load();
    // Writes the settings file unless it was there and could not be read; a link is written
    // through (PreferenceStore::save). A failure is written to the console (the settings of this
    // run are then lost).
    void save();
    // Why the settings file was there but not read; empty when it was read or is missing.
    std::string loadError() const;
    PreferenceStore& getPreferenceStore() { return store_; }

    const std::string& getDataFolder() const { return dataFolder_; }
    const std::string& getFilePath() const { return filePath_; }
    // The database file in the data folder.
    std::string getDatabasePath() const;
    // False when the data folder could not be created.
    bool hasDataFolder() const;
    // Why the data folder could not be created ("The data folder <folder> cannot be created:
    // <reason>"); empty when it was.
    std::string dataFolderError() const;

    // Opens a page of the maker in the default browser and sends the page-visit request (a failed
    // request is only written to the console).
    void openWebLink(const std::string& address, const std::string& source);
    void openHelpPage(const std::string& source);
    void openHomePage(const std::string& source);

    // Writes "info: " and the message to the console.
    static void logInfo(const std::string& message);

    // The user's application-data folder: $XDG_DATA_HOME when absolute, else .local/share in
    // $HOME, else in the account's home folder, else in the working folder. Not created here.
    static std::string applicationDataFolder();
    // The one data folder of the program, for the settings and the database:
    // applicationDataFolder() + "/Brightfen/Quillmark".
    static std::string defaultDataFolder();
    // Creates the folder (and its parents) when missing; no value on success, else the text
    // "The data folder <folder> cannot be created: <reason>".
    static std::optional<std::string> makeDataFolder(const std::string& folder);

private:
    std::string dataFolder_;
    std::string filePath_;
    PreferenceStore store_;
    std::optional<std::string> dataFolderError_;
    std::optional<std::string> loadError_;
};

} // namespace qmk::config
