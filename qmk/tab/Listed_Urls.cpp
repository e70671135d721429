#include "qmk/tab/Listed_Urls.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/MainWindow.h"
#include "qmk/Report.h"
#include "qmk/config/Config.h"
#include "qmk/config/ImageManager.h"
#include "qmk/extends/Commands.h"

#include <QMenu>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>

#include <map>

namespace qmk::tab {

namespace {

struct Registry {
    std::map<std::string, std::shared_ptr<Listed_Urls>> views;
    std::shared_ptr<Listed_Urls> current;
    std::map<std::string, std::unique_ptr<SwitchSoftwareAction>> switchActions;
};

Registry& registry()
{
    static Registry* instance = new Registry(); // kept for the whole run
    return *instance;
}

std::shared_ptr<Listed_Urls> registered(const std::string& productId)
{
    auto it = registry().views.find(productId);
    return it == registry().views.end() ? nullptr : it->second;
}

} // namespace

Listed_Urls* Listed_Urls::currentListedUrls()
{
    Registry& r = registry();
    if (r.current)
        return r.current.get();
    std::vector<std::string> ids = DB::getInstance().idsByRank();
    if (ids.empty())
        return nullptr;
    for (const std::string& id : ids)
        registerProduct(id);
    std::string last =
        config::Config::getInstance().getPreferenceStore().getString("last_listed_urls");
    std::shared_ptr<Listed_Urls> chosen = last.empty() ? nullptr : registered(last);
    r.current = chosen ? chosen : registered(ids.front());
    return r.current.get();
}

Listed_Urls* Listed_Urls::listedUrlsFor(const std::string& productId)
{
    return registered(productId).get();
}

void Listed_Urls::setCurrentListedUrls(Listed_Urls* view)
{
    Registry& r = registry();
    if (!view) {
        r.current.reset();
        return;
    }
    for (const auto& [id, registeredView] : r.views) {
        if (registeredView.get() == view) {
            r.current = registeredView;
            return;
        }
    }
    if (r.current.get() != view)
        r.current.reset();
}

bool Listed_Urls::registerProduct(const std::string& productId)
{
    if (registered(productId))
        return false;
    registry().views.emplace(productId, std::make_shared<Listed_Urls>(productId));
    return true;
}

bool Listed_Urls::unregisterProduct(const std::string& productId)
{
    return registry().views.erase(productId) > 0;
}

bool Listed_Urls::closeCurrentListedUrls()
{
    Listed_Urls* current = currentListedUrls();
    QTabWidget* folder = mainTabFolder();
    if (!current || !folder || folder->count() == 0)
        return false;
    const int last = folder->count() - 1;
    if (tabText(folder, last) != current->name)
        return false;
    QWidget* page = folder->widget(last);
    {
        const QSignalBlocker quiet(folder);
        folder->removeTab(last);
    }
    // The page may be the one whose context menu runs this command: it goes once that is done.
    current->onDispose();
    page->hide();
    page->deleteLater();
    if (current->viewer_)
        current->viewer_->detach();
    current->viewer_ = nullptr;
    current->setTableViewer(nullptr);
    std::shared_ptr<Listed_Urls> keep = registry().current;
    unregisterProduct(current->name);
    registry().current.reset();
    currentListedUrls();
    return true;
}

QAction* Listed_Urls::switchActionFor(const std::string& productId)
{
    auto& actions = registry().switchActions;
    auto it = actions.find(productId);
    if (it == actions.end())
        it = actions.emplace(productId, std::make_unique<SwitchSoftwareAction>(productId)).first;
    return it->second.get();
}

void Listed_Urls::reset()
{
    Registry& r = registry();
    r.current.reset();
    r.views.clear();
    r.switchActions.clear();
}

void Listed_Urls::addTableMenuItems()
{
    if (!menu_)
        return;
    using extends::Command;
    using extends::Commands::addTo;
    std::vector<std::string> ids = DB::getInstance().idsByRank();
    if (ids.size() >= 2) {
        for (const std::string& id : ids)
            if (id != name)
                menu_->addAction(switchActionFor(id));
        menu_->addSeparator();
    }
    addTo(menu_, Command::SynchronizeSitesAction);
    menu_->addSeparator();
    addTo(menu_, Command::TodayAction);
    addTo(menu_, Command::VersionAction);
    menu_->addSeparator();
    addTo(menu_, Command::CopyUsernameAction);
    addTo(menu_, Command::CopyPasswordAction);
    menu_->addSeparator();
    addTo(menu_, Command::MoveToBlackSitesAction);
}

void Listed_Urls::refreshContextMenu()
{
    if (!viewer_)
        return;
    if (menu_)
        menu_->clear();
    createContextMenu(viewer_->getTable());
    addMenuItems();
}

SwitchSoftwareAction::SwitchSoftwareAction(std::string productId, QObject* parent)
    : QAction(parent), productId_(std::move(productId))
{
    QString id = QString::fromStdString(productId_);
    setText("Switch to " + QString(id).replace("&", "&&"));
    setIcon(config::ImageManager::getInstance().icon("table16.png"));
    setToolTip("switch to " + id);
    connect(this, &QAction::triggered, this, [this] { run(); });
}

void SwitchSoftwareAction::run()
{
    try {
        std::shared_ptr<Listed_Urls> view = registered(productId_);
        if (!view)
            return;
        saveState();
        Listed_Urls::closeCurrentListedUrls();
        Listed_Urls::setCurrentListedUrls(view.get());
        Listed_Urls::openTab();
        restoreLastRecord();
    } catch (...) {
        report::failed(MainWindow::getInstance(), "switch to " + productId_);
    }
}

} // namespace qmk::tab
