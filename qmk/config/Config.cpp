#include "qmk/config/Config.h"

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
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg && std::filesystem::path(xdg).is_absolute()) return xdg;
  const char* home = std::getenv("HOME");
  std::filesystem::path base = (home && *home) ? home : ".";
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

void Config::logInfo(const std::string& message) { std::cout << "info: " << message << std::endl; }

}  // namespace qmk::config
