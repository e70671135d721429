#pragma once
// What the database object asks of the main window: the status line, the listing-table
// registry and the reloading of table tabs. The main window implements it; tests fake it.
// DB holds a non-owning pointer to it (null: every call is skipped). UI thread only.
// DB makes the calls that follow a write (status texts, registry, reloads) only once the write
// has committed. Implementations should not throw; DB swallows anything they throw.

#include <optional>
#include <string>

namespace qmk {

class WindowPort {
public:
    // The table views whose tab DB asks to reload.
    enum class Tab { Shareware_Sites, Softwares, Black_Sites, Temp_Sites, Listed_Urls };

    virtual ~WindowPort() = default;

    // Replaces the text of the status line.
    virtual void showStatus(const std::string& text) = 0;

    // Listing-table registry: create and register the table object of a product; false when
    // it was registered already.
    virtual bool registerProduct(const std::string& productId) = 0;
    // Drops a product's table object from the registry; false when it was not registered.
    virtual bool unregisterProduct(const std::string& productId) = 0;
    // Closes the current listing tab, unregisters its product and chooses another current one;
    // false when the last tab is not the current product's tab.
    virtual bool closeCurrentListedUrls() = 0;
    // Makes the listing table of that product the current one, registering it when needed (its
    // tab follows at the next openTab); false when it cannot be registered.
    virtual bool setCurrentListedUrls(const std::string& productId) = 0;
    // Name (product id) of the current listing table, choosing one when there is none yet;
    // no value when there are no products.
    virtual std::optional<std::string> currentListedUrlsName() = 0;
    // Rebuilds the context menu of the current listing table; nothing when there is none.
    virtual void refreshContextMenu() = 0;

    // Reloads the table of that view and refreshes its tab, building the tab when needed
    // (for Listed_Urls: the current listing table).
    virtual void openTab(Tab tab) = 0;

    // Text of the last tab of the main window's tab folder ("" when there is no tab).
    virtual std::string lastTabText() = 0;
};

} // namespace qmk
