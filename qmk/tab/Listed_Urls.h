#pragma once
// The listing tables: one table view per product (named by the product's id), kept in a
// registry; the current one has the main window's fifth tab. SwitchSoftwareAction moves the
// tab to another product. UI thread only.
#include "qmk/tab/BaseTable.h"
#include "qmk/tab/Listed_Url.h"

#include <QAction>

#include <memory>
#include <optional>
#include <string>

namespace qmk::tab {

class Listed_Urls : public BaseTable<Listed_Urls, Listed_Url> {
public:
    explicit Listed_Urls(std::string productId) : BaseTable(std::move(productId)) {}

    // The current listing table, the instance of every table operation (null without products).
    static Listed_Urls* getInstance() { return currentListedUrls(); }
    // The current table; when there is none, registers every product (by rank) and makes current
    // the one named by "last_listed_urls", else the top-ranked one. Null without products.
    static Listed_Urls* currentListedUrls();
    // The registered table of that product, or null (also the test for a listing table).
    static Listed_Urls* listedUrlsFor(const std::string& productId);
    static void setCurrentListedUrls(Listed_Urls* view);
    // False when already registered; else makes a table view for the product (no rows, no tab).
    static bool registerProduct(const std::string& productId);
    // False when not registered. The product's tab, if any, is not touched.
    static bool unregisterProduct(const std::string& productId);
    // Closes the current tab (only when it is the folder's last tab), unregisters its product and
    // chooses another current table; false when nothing was closed.
    static bool closeCurrentListedUrls();
    // The cached switch command of that product, made on first request.
    static QAction* switchActionFor(const std::string& productId);
    // Forgets the registry and the current table (a new main window starts from the database).
    static void reset();

    void addTableMenuItems() override;
    // Builds this table's context menu again (the switch entries follow the products).
    void refreshContextMenu();
};

// "Switch to <product>": shows that product's listing table in the fifth tab.
class SwitchSoftwareAction : public QAction {
    Q_OBJECT

public:
    explicit SwitchSoftwareAction(std::string productId, QObject* parent = nullptr);
    const std::string& productId() const { return productId_; }
    void run();

private:
    std::string productId_;
};

} // namespace qmk::tab
