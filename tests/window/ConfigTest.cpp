// The settings file format, the settings store and the image registry.
#include "Fixture.h"
#include "qmk/DB.h"
#include "qmk/config/Config.h"
#include "qmk/config/FileReplace.h"
#include "winsup/ScopedEnv.h"
#include "qmk/config/ImageManager.h"

#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qmk::config {
namespace {

using qmk::test::readFile;

TEST(PreferenceStoreFormat, ReadsCommentsBlanksSeparatorsAndEscapes)
{
    auto values = PreferenceStore::parse(
        "# a comment\n! another\n\n  last_id = example.com\r\nlast_listed_urls:My Tool\n"
        "last_ctabitem_index=3\nspaced\\ key=a\\=b\\:c\\\\d\\u00e9\nlong=one \\\n   "
        "two\nempty=\nbare\n");
    EXPECT_EQ(values["last_id"], "example.com");
    EXPECT_EQ(values["last_listed_urls"], "My Tool");
    EXPECT_EQ(values["last_ctabitem_index"], "3");
    EXPECT_EQ(values["spaced key"], "a=b:c\\d\xc3\xa9");
    EXPECT_EQ(values["long"], "one two");
    EXPECT_EQ(values["empty"], "");
    EXPECT_EQ(values["bare"], "");
    EXPECT_EQ(values.size(), 7u);
}

TEST(PreferenceStoreFormat, WritesWhatItReads)
{
    std::map<std::string, std::string> values = {{"last_id", " lead#ing=x:y\\z\nnext"},
                                                 {"key with = sign", "caf\xc3\xa9"},
                                                 {"last_ctabitem_index", "0"}};
    std::string text = PreferenceStore::format(values);
    EXPECT_EQ(text.rfind("#", 0), 0u);
    EXPECT_NE(text.find("last_ctabitem_index=0\n"), std::string::npos);
    EXPECT_EQ(PreferenceStore::parse(text), values);
}

TEST(ConfigStore, FirstStartCreatesFolderAndWritesFileAtSave)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/new/Brightfen/Quillmark";
    Config config(folder, "qmk.config");
    EXPECT_TRUE(config.hasDataFolder());
    EXPECT_EQ(config.getPreferenceStore().getString("last_id"), "");
    EXPECT_EQ(config.getDatabasePath(), folder + "/qmk.db");
    config.getPreferenceStore().setValue("last_id", "example.com");
    config.save();
    EXPECT_NE(readFile(folder + "/qmk.config").find("last_id=example.com"), std::string::npos);
    Config again(folder, "qmk.config");
    EXPECT_EQ(again.getPreferenceStore().getString("last_id"), "example.com");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    namespace fs = std::filesystem;
    auto mode = [](const std::string& file) { return fs::status(file).permissions(); };
    EXPECT_EQ(mode(folder + "/qmk.config"), fs::perms(0666 & ~mask));

    // a private file keeps its mode; a chain of links is written through and stays
    fs::permissions(folder + "/qmk.config", fs::perms(0600));
    again.save();
    EXPECT_EQ(mode(folder + "/qmk.config"), fs::perms(0600));
    fs::create_directory(folder + "/kept");
    fs::rename(folder + "/qmk.config", folder + "/kept/real.config");
    fs::create_symlink("real.config", folder + "/kept/link");
    fs::create_symlink("kept/link", folder + "/qmk.config");
    Config linked(folder, "qmk.config");
    EXPECT_EQ(linked.getPreferenceStore().getString("last_id"), "example.com");
    linked.getPreferenceStore().setValue("last_id", "linked.example");
    linked.save();
    EXPECT_TRUE(fs::is_symlink(folder + "/qmk.config"));
    EXPECT_TRUE(fs::is_symlink(folder + "/kept/link"));
    EXPECT_NE(readFile(folder + "/kept/real.config").find("last_id=linked.example"),
              std::string::npos);
    EXPECT_EQ(mode(folder + "/kept/real.config"), fs::perms(0600));
    EXPECT_FALSE(fs::exists(folder + "/kept/real.config.new"));

    // a folder that takes no new file: the linked file is written itself. Root is not stopped by
    // the folder's mode, so the save runs in a child that has given root up.
    fs::permissions(dir.path().toStdString(), fs::perms(0755));
    fs::create_directory(folder + "/shut");
    fs::rename(folder + "/kept/real.config", folder + "/shut/real.config");
    fs::permissions(folder + "/shut/real.config", fs::perms(0666));
    fs::permissions(folder + "/shut", fs::perms(0555));
    fs::remove(folder + "/qmk.config");
    fs::create_symlink("shut/real.config", folder + "/qmk.config");
    const auto saveAsUser = [&](const std::string& id) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        Config shut(folder, "qmk.config");
        shut.getPreferenceStore().setValue("last_id", id);
        shut.save();
        ::_exit(0);
    };
    EXPECT_EXIT(saveAsUser("shut.example"), testing::ExitedWithCode(0), "");
    EXPECT_NE(readFile(folder + "/shut/real.config").find("last_id=shut.example"),
              std::string::npos);
    fs::permissions(folder + "/shut", fs::perms(0755));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/shut"), fs::directory_iterator()), 1);

    // a new file a crash left there, which the shut folder will not let go of, is no hindrance
    std::ofstream(folder + "/shut/real.config.new") << "stale";
    fs::permissions(folder + "/shut", fs::perms(0555));
    EXPECT_EXIT(saveAsUser("stale.example"), testing::ExitedWithCode(0), "");
    fs::permissions(folder + "/shut", fs::perms(0755));
    EXPECT_NE(readFile(folder + "/shut/real.config").find("last_id=stale.example"),
              std::string::npos);
    fs::remove(folder + "/shut/real.config.new");

    // Any other failure to make the new file (a full disk, a quota, a read-only file system)
    // leaves the file as it was and is thrown; a refusal for permission has it written itself.
    static int refusal = 0;
    const CreateNew failing = [](const char*, unsigned) {
        errno = refusal;
        return -1;
    };
    const std::string real = folder + "/shut/real.config";
    const std::string before = readFile(real);
    for (const int error : {ENOSPC, EDQUOT, EROFS}) {
        refusal = error;
        try {
            replaceFile(folder + "/qmk.config", "last_id=lost\n", failing);
            ADD_FAILURE() << "nothing thrown for " << std::strerror(error);
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "cannot write " + real + ".new: " + std::strerror(error));
        }
        EXPECT_EQ(readFile(real), before) << std::strerror(error);
    }
    for (const int error : {EACCES, EPERM}) {
        refusal = error;
        const std::string text = "last_id=" + std::to_string(error) + "\n";
        replaceFile(folder + "/qmk.config", text, failing);
        EXPECT_EQ(readFile(real), text);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder + "/shut"), fs::directory_iterator()), 1);
}

TEST(ConfigStore, UnreadableOrOversizedFileGivesAnEmptyStore)
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    std::filesystem::create_directory(folder + "/qmk.config"); // a folder where the file should be
    Config config(folder, "qmk.config");
    EXPECT_TRUE(config.getPreferenceStore().values().empty());
    EXPECT_EQ(config.loadError(), folder + "/qmk.config is not a file");
    config.getPreferenceStore().setValue("last_id", "x");
    config.save(); // cannot replace a folder: ignored, nothing thrown
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/qmk.config"));

    std::filesystem::create_directory(folder + "/big");
    std::ofstream(folder + "/big/qmk.config") << std::string(2 * 1024 * 1024, 'a');
    Config big(folder + "/big", "qmk.config");
    EXPECT_TRUE(big.getPreferenceStore().values().empty());
}

TEST(ConfigStore, DataFolderFollowsXdgDataHome)
{
    Config config("qmk.config");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(xdg, nullptr);
    EXPECT_EQ(config.getDataFolder(), std::string(xdg) + "/Brightfen/Quillmark");
    EXPECT_TRUE(config.hasDataFolder());
}

TEST(ConfigStore, DatabaseAndSettingsShareOneDataFolderAndSayWhyItCannotBeMade)
{
    {
        ScopedEnv noHome("HOME", nullptr);
        ScopedEnv noXdg("XDG_DATA_HOME", nullptr);
        const passwd* account = getpwuid(getuid());
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(Config::defaultDataFolder(),
                  std::string(account->pw_dir) + "/.local/share/Brightfen/Quillmark");
    }
    QTemporaryDir dir;
    std::ofstream(dir.path().toStdString() + "/file") << "x";
    ScopedEnv blocked("XDG_DATA_HOME", dir.path().toStdString() + "/file/share");
    const std::string expected = "The data folder " + dir.path().toStdString() +
        "/file/share/Brightfen/Quillmark cannot be created: Not a directory";
    Config config("qmk.config");
    EXPECT_FALSE(config.hasDataFolder());
    EXPECT_EQ(config.dataFolderError(), expected);
    try {
        qmk::DB::dataFolder();
        ADD_FAILURE() << "no data folder, no throw";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_EQ(Config(dir.path().toStdString(), "qmk.config").dataFolderError(), "");
}

TEST(Images, RegisteredByFileNameAndShared)
{
    ImageManager& images = ImageManager::getInstance();
    const QPixmap* first = images.get("soft32.png");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, images.get("soft32.png"));
    EXPECT_EQ(first->size(), QSize(32, 32));
    EXPECT_EQ(images.get("nothing.png"), nullptr);
    EXPECT_TRUE(images.icon("nothing.png").isNull());
    const std::pair<const char*, int> sizes[] = {{"about128.png", 128},
                                                 {"btnOk16.png", 16},
                                                 {"btnCancel16.png", 16},
                                                 {"clear16.png", 16},
                                                 {"table16.png", 16}};
    for (const auto& [name, size] : sizes) {
        ASSERT_NE(images.get(name), nullptr) << name;
        EXPECT_EQ(images.get(name)->width(), size) << name;
    }
    QImageReader icon(":/images/soft32.ico");
    EXPECT_EQ(icon.imageCount(), 2);
    QList<QSize> iconSizes = images.icon("soft32.ico").availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
}

} // namespace
} // namespace qmk::config
