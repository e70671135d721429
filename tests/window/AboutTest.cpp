// The command pictures, the About dialog and the products menu, driven from the real window.
#include "Fixture.h"

#include "lookups/FakeService.h"
#include "qmk/MyAction.h"
#include "qmk/config/ImageManager.h"
#include "qmk/custom/LinkText.h"
#include "qmk/dialog/AboutDialog.h"
#include "qmk/extends/Commands.h"
#include "vorn/Texts.h"
#include "winsup/ScopedEnv.h"

#include <QApplication>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace qmk::test {
namespace {

// The window with the program's own commands, and the desktop's opener replaced by a script
// that notes each address it is given.
class About : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        opened_ = bin_.path().toStdString() + "/opened";
        QFile opener(bin_.path() + "/xdg-open");
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write(("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + opened_ + "'\n").c_str());
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The addresses the opener got so far, waiting a little for the last `count` to arrive.
    std::string opened(long lines)
    {
        std::string text = readFile(opened_);
        for (int i = 0; i < 300 && std::count(text.begin(), text.end(), '\n') < lines; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            text = readFile(opened_);
        }
        return text;
    }

    QAction* entry(const std::string& menu, const QString& text)
    {
        for (QAction* action : window_->menu(menu)->actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "no " << text.toStdString() << " in " << menu;
        return nullptr;
    }

    // Triggers the About entry and runs `check` on the dialog it shows, then closes it.
    void withAboutDialog(const std::function<void(dialog::AboutDialog*)>& check)
    {
        QPointer<dialog::AboutDialog> seen;
        QTimer::singleShot(0, [&] {
            seen = qobject_cast<dialog::AboutDialog*>(QApplication::activeModalWidget());
            if (seen)
                check(seen);
            else
                ADD_FAILURE() << "no About dialog shown";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        QAction* about = entry("&Help", "&About");
        ASSERT_NE(about, nullptr);
        about->trigger();
        EXPECT_TRUE(seen.isNull()) << "the dialog outlives its showing";
    }

    QTemporaryDir bin_;
    std::string opened_;
    ScopedEnv path_{"PATH", bin_.path().toStdString()};
};

TEST_F(About, EveryCommandPictureIsDrawn)
{
    openWindow();
    auto& images = config::ImageManager::getInstance();
    const char* const names[] = {"exit16.png",
                                 "about16.png",
                                 "refresh16.gif",
                                 "add16.gif",
                                 "addDisabled16.gif",
                                 "remove16.gif",
                                 "removeDisabled16.gif",
                                 "home16.png",
                                 "sharewareSites16.gif",
                                 "blackSites16.gif",
                                 "pagerank16.png",
                                 "synchronize16.png",
                                 "help16.gif",
                                 "helpDisabled16.gif",
                                 "ie16.png",
                                 "openBrowser16.png",
                                 "today16.png",
                                 "version16.png",
                                 "url16.png",
                                 "url16_2.png",
                                 "find16.png",
                                 "yahoo16.png",
                                 "google16.png",
                                 "keyUser16.gif",
                                 "keyPass16.gif",
                                 "systemSoftwareUpdate16.png",
                                 "opmlExportAll16.png",
                                 "tallyleaf16.png",
                                 "driftnote16.png"};
    for (const std::string name : names) {
        const QPixmap* image = images.get(name);
        ASSERT_NE(image, nullptr) << name;
        EXPECT_EQ(image->size(), QSize(16, 16)) << name;
        // a shape on a transparent ground; grey exactly when it is a disabled look
        const QImage pixels = image->toImage().convertToFormat(QImage::Format_ARGB32);
        int clear = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                clear += qAlpha(pixels.pixel(x, y)) == 0;
        EXPECT_GT(clear, 0) << name;
        EXPECT_LT(clear, 200) << name;
        EXPECT_EQ(pixels.allGray(), name.find("Disabled") != std::string::npos) << name;
        // a ".gif" name holds a GIF, which Qt reads by its content
        QImageReader reader(QString::fromStdString(":/images/" + name));
        EXPECT_EQ(reader.format(), name.ends_with(".gif") ? "gif" : "png") << name;
    }

    // every entry of the menus and the tool bar shows its picture; the disabled ones are ours
    const QList<QAction*> tools = window_->toolBar()->actions();
    std::vector<QAction*> placed(tools.begin(), tools.end());
    for (const char* menu : {"&File", "&Edit", "&Net", "&Products", "&Help"})
        for (QAction* action : window_->menu(menu)->actions())
            placed.push_back(action);
    EXPECT_GE(placed.size(), 30u);
    for (QAction* action : placed)
        EXPECT_TRUE(action->isSeparator() || !action->icon().isNull())
            << action->text().toStdString();
    const std::pair<extends::Command, const char*> disabled[] = {
        {extends::Command::AddAction, "addDisabled16.gif"},
        {extends::Command::RemoveAction, "removeDisabled16.gif"},
        {extends::Command::HelpAction, "helpDisabled16.gif"}};
    for (const auto& [command, image] : disabled)
        EXPECT_EQ(extends::Commands::find(command)
                      ->icon()
                      .pixmap(16, QIcon::Disabled)
                      .toImage()
                      .convertToFormat(QImage::Format_ARGB32),
                  images.get(image)->toImage().convertToFormat(QImage::Format_ARGB32))
            << image;
}

TEST_F(About, AboutDialogAndProductsMenuOpenTheMakersPages)
{
    lookups_test::FakeService maker("QMK_MAKER_URL",
                                    [](const httplib::Request&, httplib::Response& response) {
                                        response.set_content("ok", "text/plain");
                                    });
    openWindow();
    qint64 titleImage = 0;
    withAboutDialog([&](dialog::AboutDialog* dialog) {
        EXPECT_EQ(dialog->width(), 450);
        EXPECT_EQ(dialog->windowTitle(), "About Quillmark");
        EXPECT_FALSE(dialog->windowIcon().isNull());
        EXPECT_TRUE(dialog->windowFlags() & Qt::WindowMinimizeButtonHint);
        EXPECT_EQ(dialog->parentWidget(), window_.get());
        EXPECT_EQ(dialog->findChild<QLabel*>("title")->text().toStdString(),
                  vorn::Texts::aboutTitle());
        EXPECT_EQ(dialog->findChild<QLabel*>("message")->text().toStdString(),
                  vorn::Texts::aboutMessage());
        const QPixmap image = dialog->findChild<QLabel*>("titleImage")->pixmap();
        EXPECT_EQ(image.size(), QSize(128, 128));
        titleImage = image.cacheKey();
        custom::LinkText* link = dialog->homeLink();
        EXPECT_EQ(link->text().toStdString(), maker.baseUrl() + "/");
        // the press of a button opens it, before any release; the right one does too
        QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
        EXPECT_TRUE(dialog->isVisible()) << "the link leaves the dialog open";
        EXPECT_EQ(opened(1), maker.baseUrl() + "/\n");
        ASSERT_EQ(maker.requestCount(), 1u);
        EXPECT_EQ(maker.requests()[0].target, "/visit?product=quillmark");
        QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
        QTest::mouseClick(link, Qt::RightButton, {}, link->rect().center());
        EXPECT_EQ(opened(2), maker.baseUrl() + "/\n" + maker.baseUrl() + "/\n");
    });

    // A second dialog, over a maker address far longer than the dialog: still 450 wide, the same
    // title image as before.
    {
        const std::string longBase = maker.baseUrl() + "/" + std::string(300, 'a');
        ScopedEnv longMaker("QMK_MAKER_URL", longBase);
        withAboutDialog([&](dialog::AboutDialog* dialog) {
            EXPECT_EQ(dialog->width(), 450);
            EXPECT_EQ(dialog->homeLink()->text().toStdString(), longBase + "/");
            EXPECT_EQ(dialog->findChild<QLabel*>("titleImage")->pixmap().cacheKey(), titleImage);
        });
    }

    // The products menu: each entry names a product and opens its page, with a page visit.
    const std::size_t visits = maker.requestCount();
    QAction* first =
        entry("&Products", QString::fromStdString("&" + vorn::Texts::firstProductName()));
    QAction* second =
        entry("&Products", QString::fromStdString("&" + vorn::Texts::secondProductName()));
    ASSERT_TRUE(first && second);
    first->trigger();
    second->trigger();
    EXPECT_EQ(opened(4),
              maker.baseUrl() + "/\n" + maker.baseUrl() + "/\n" + vorn::Texts::firstProductUrl() +
                  "\n" + vorn::Texts::secondProductUrl() + "\n");
    EXPECT_EQ(vorn::Texts::firstProductUrl(), maker.baseUrl() + "/tallyleaf/");
    EXPECT_EQ(maker.requestCount(), visits + 2);
}

} // namespace
} // namespace qmk::test
