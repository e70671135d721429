#include "qmk/config/Config.h"

#include "dwin/sys/win32/Shell32.h"
#include "dwin/sys/win32/XdgFiles.h"
#include "qmk/Report.h"
#include "vorn/Soft.h"
#include "vorn/Texts.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace qmk::config {

namespace {

std::unique_ptr<Config>& instanceSlot()
{
    static std::unique_ptr<Config> instance;
    return instance;
}

} // namespace

Config& Config::getInstance()
{
    auto& slot = instanceSlot();
    if (!slot)
        slot = std::make_unique<Config>(settingsFileName);
    return *slot;
}

void Config::setInstance(std::unique_ptr<Config> config)
{
    instanceSlot() = std::move(config);
}

std::string Config::applicationDataFolder()
{
    if (auto folder = dwin::sys::win32::xdg::dataHome())
        return folder->string();
    // no $HOME: the account's home folder, and without one the working folder
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir && *account->pw_dir)
        return (std::filesystem::path(account->pw_dir) / ".local" / "share").string();
    std::error_code ec;
    return (std::filesystem::current_path(ec) / ".local" / "share").string();
}

std::string Config::defaultDataFolder()
{
    return (std::filesystem::path(applicationDataFolder()) / "Brightfen" / "Quillmark").string();
}

std::optional<std::string> Config::makeDataFolder(const std::string& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec && std::filesystem::is_directory(folder, ec))
        return std::nullopt;
    const std::string reason = ec ? ec.message() : std::string("a file of that name is in the way");
    return "The data folder " + folder + " cannot be created: " + reason;
}

Config::Config(const std::string& fileName) : Config(defaultDataFolder(), fileName)
{
}

Config::Config(std::string dataFolder, const std::string& fileName)
    : dataFolder_(std::move(dataFolder)),
      filePath_((std::filesystem::path(dataFolder_) / fileName).string()), store_(filePath_),
      dataFolderError_(makeDataFolder(dataFolder_))
{
    load();
}

void Config::load()
{
    loadError_.reset();
    std::error_code ec;
    if (std::filesystem::status(filePath_, ec).type() == std::filesystem::file_type::not_found)
        return; // a first start has no settings file yet (a link may name one still to be made)
    try {
        store_.load();
    } catch (const PreferenceStoreException& e) {
        loadError_ = e.what();
        logInfo(std::string("settings not read: ") + e.what());
    }
}

void Config::save()
{
    if (loadError_) {
        logInfo("settings not saved: " + filePath_ + " was not read and is left as it is");
        return;
    }
    try {
        store_.save();
    } catch (const PreferenceStoreException& e) {
        logInfo(e.what());
    }
}

std::string Config::getDatabasePath() const
{
    return (std::filesystem::path(dataFolder_) / databaseFileName).string();
}

bool Config::hasDataFolder() const
{
    std::error_code ec;
    return std::filesystem::is_directory(dataFolder_, ec);
}

std::string Config::loadError() const
{
    return loadError_.value_or(std::string());
}

std::string Config::dataFolderError() const
{
    return dataFolderError_.value_or(std::string());
}

void Config::openWebLink(const std::string& address, const std::string& source)
{
    dwin::sys::win32::Shell32::open(address);
    try {
        vorn::Soft::visitPage();
    } catch (const std::exception& e) {
        // the visit's reply is never used: a failed request changes nothing
        logInfo("visitPage from " + source + " failed: " + e.what());
    }
}

void Config::openHelpPage(const std::string& source)
{
    openWebLink(vorn::Texts::makerHelpUrl(), source);
}

void Config::openHomePage(const std::string& source)
{
    openWebLink(vorn::Texts::makerHomeUrl(), source);
}

void Config::logInfo(const std::string& message)
{
    report::trace("info: " + message);
}

} // namespace qmk::config
