#include "qmk/config/Config.h"

#include "dwin/sys/win32/Shell32.h"
#include "dwin/sys/win32/SpecPath.h"
#include "vorn/Soft.h"
#include "vorn/Texts.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace qmk::config {

namespace {

std::unique_ptr<Config>& instanceSlot() {
  static std::unique_ptr<Config> instance;
  return instance;
}

}  // namespace

Config& Config::getInstance() {
  auto& slot = instanceSlot();
  if (!slot) slot = std::make_unique<Config>(settingsFileName);
  return *slot;
}

void Config::setInstance(std::unique_ptr<Config> config) { instanceSlot() = std::move(config); }

std::string Config::applicationDataFolder() {
  if (auto folder = dwin::sys::win32::SpecPath::getApplicationDataFolder()) return *folder;
  // no home folder at all: the working folder keeps the program usable
  std::error_code ec;
  std::filesystem::path base = std::filesystem::current_path(ec);
  return (base / ".local" / "share").string();
}

Config::Config(const std::string& fileName)
    : Config((std::filesystem::path(applicationDataFolder()) / "Brightfen" / "Quillmark").string(),
             fileName) {}

Config::Config(std::string dataFolder, const std::string& fileName)
    : dataFolder_(std::move(dataFolder)),
      filePath_((std::filesystem::path(dataFolder_) / fileName).string()),
      store_(filePath_) {
  std::error_code ec;
  std::filesystem::create_directories(dataFolder_, ec);
  load();
}

void Config::load() {
  try {
    store_.load();
  } catch (const PreferenceStoreException&) {
    // a first start has no settings file yet
  }
}

void Config::save() {
  try {
    store_.save();
  } catch (const PreferenceStoreException& e) {
    logInfo(e.what());
  }
}

std::string Config::getDatabasePath() const {
  return (std::filesystem::path(dataFolder_) / databaseFileName).string();
}

bool Config::hasDataFolder() const {
  std::error_code ec;
  return std::filesystem::is_directory(dataFolder_, ec);
}

void Config::openWebLink(const std::string& address, const std::string& source) {
  dwin::sys::win32::Shell32::open(address);
  try {
    vorn::Soft::visitPage();
  } catch (const std::exception& e) {
    // the visit's reply is never used: a failed request changes nothing
    logInfo("visitPage from " + source + " failed: " + e.what());
  }
}

void Config::openHelpPage(const std::string& source) { openWebLink(vorn::Texts::makerHelpUrl(), source); }

void Config::openHomePage(const std::string& source) { openWebLink(vorn::Texts::makerHomeUrl(), source); }

void Config::logInfo(const std::string& message) { std::cout << "info: " << message << std::endl; }

}  // namespace qmk::config
