#pragma once
// The program's own browser window: a tool window of the main window with the PAD-field copy
// buttons above an embedded browser. One instance, made on first use. UI thread only.
//
// The dialog owns its browser (the automation interface made by createInternetExplorer) and
// tells it to quit in dispose. Its window is a child of the main window and goes with it; the
// dialog object goes with its window. When the browser engine cannot be made, the user is told
// once, no dialog is made and getInstance gives null; the operations that need a browser then
// do nothing. Nothing here throws except std::bad_alloc and what the automation layer raises.
#include "qmk/base/BaseRecord.h"
#include "qmk/dialog/CategoryTable.h"
#include "dwin/sys/win32/com/ComPtr.h"
#include "winapi/Types.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QMenu;
class QPushButton;

namespace qmk::dialog {

class WebBrowserDialog {
public:
    // The label of each copy button with the PAD field (or Softwares column) it copies.
    using PadFields = std::vector<std::pair<std::string, std::string>>;

    // The dialog, made on the first call; null when the browser engine could not be made (the
    // user has been told once; later calls report it on the status line) or cannot start here
    // (the reason on the status line; the engine is not tried).
    static WebBrowserDialog* getInstance();
    // The dialog when it has been made, else null (never makes one).
    static WebBrowserDialog* instance();

    ~WebBrowserDialog();
    WebBrowserDialog(const WebBrowserDialog&) = delete;
    WebBrowserDialog& operator=(const WebBrowserDialog&) = delete;

    // Focus when visible, else opened.
    void show();
    // show, then navigate to the address (only show for the download site's log-on address).
    void openUrl(const std::string& url);
    void navigate(const std::string& url);
    // Stops the browser (again and again while the page's own scripts start new loads) and
    // loads the text as the page at baseUrl; why the browser did not take it, or no value.
    std::optional<std::string> loadHtml(const std::string& html, const std::string& baseUrl);
    // The address of the page shown; empty when there is none or no dialog.
    static std::string getLocationUrl();
    // The location to the clipboard, or the status "not got location URL".
    static void copyLocationUrl();
    // Copies the field of the pressed button for the current product; failures end it quietly.
    void copyPadField(QPushButton* button);

    // The upload flow for the selected listing row.
    void submitCurrent();
    // Fills the upload form for the product (a Softwares row) and loads it.
    void submit(const base::RecordPtr& product);
    // Loads, fills and sends the log-on form when the address is the site's log-on page.
    void logOn(const std::string& url);
    // One console line; always true.
    bool report(const std::string& message);

    // Closes the browser (main window's close); does nothing when no dialog was made.
    static void dispose();

    QWidget* shell() const { return shell_; }
    winapi::IWebBrowser2* browser() const { return browser_.get(); }
    const PadFields& padFields() const { return padFields_; }
    QMenu* contextMenu() const { return contextMenu_; }
    static const CategoryTable& categories();
    static void buildCategoryTable();

private:
    WebBrowserDialog(QWidget* parent, dwin::sys::win32::com::ComPtr<winapi::IWebBrowser2> browser);
    void createButtons();
    void hookContextMenu(QWidget* control);
    void placeBrowser(QWidget* host);
    // The first opening: over the main window's tables, on its screen.
    void placeOverTables();
    void closeBrowser();
    base::RecordPtr submitProductOrNone() const;

    QPointer<QWidget> shell_;
    QMenu* contextMenu_ = nullptr;
    dwin::sys::win32::com::ComPtr<winapi::IWebBrowser2> browser_;
    winapi::HWND ieHwnd_ = nullptr;
    // The browser window's parent before it was placed in the dialog (null: a top-level window).
    QPointer<QWidget> ieParent_;
    QPointer<QWidget> host_;
    PadFields padFields_;
    bool placed_ = false;
};

} // namespace qmk::dialog
