#include "qmk/dialog/WebBrowserDialog.h"

#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"
#include "qmk/Base.h"
#include "qmk/MainWindow.h"
#include "qmk/MessageDialog.h"
#include "qmk/Report.h"
#include "qmk/dialog/SiteForms.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/MyMenuListener.h"
#include "qmk/tab/Listed_Urls.h"
#include "vorn/IE.h"
#include "winapi/Com.h"
#include "winapi/browser/BrowserServer.h"
#include "winapi/browser/EngineCheck.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QUrl>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace qmk::dialog {

namespace {

using dwin::sys::win32::com::ComPtr;
namespace com = dwin::sys::win32::com;
namespace ie = dwin::sys::win32::ie;

WebBrowserDialog* theDialog = nullptr;
bool engineFailureShown = false;

CategoryTable& categoryTable()
{
    static CategoryTable table;
    return table;
}

// The dialog's window: closing only hides it; the dialog goes with it.
class Shell final : public QWidget {
public:
    Shell(QWidget* parent, WebBrowserDialog* owner)
        : QWidget(parent,
                  Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::WindowCloseButtonHint),
          owner_(owner)
    {
    }
    ~Shell() override { delete std::exchange(owner_, nullptr); }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        hide();
    }

private:
    WebBrowserDialog* owner_;
};

// The context menu: commands in order, no value for a separator.
const std::vector<std::optional<extends::Command>>& contextEntries()
{
    using extends::Command;
    static const std::vector<std::optional<Command>> entries = {Command::TodayAction,
                                                                Command::VersionAction,
                                                                std::nullopt,
                                                                Command::SubmitProductAction,
                                                                std::nullopt,
                                                                Command::CopyUsernameAction,
                                                                Command::CopyPasswordAction,
                                                                std::nullopt,
                                                                Command::CopyLocationURLAction,
                                                                std::nullopt,
                                                                Command::SubPageAction,
                                                                Command::ListedUrlAction};
    return entries;
}

// The engine's empty page: the browser has shown nothing yet.
bool isBlankPage(const std::string& url)
{
    return QUrl(QString::fromStdString(url)).adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery) ==
        QUrl(QStringLiteral("about:blank"));
}

void reportNoBrowser()
{
    showStatus("Web Browser not available: the browser engine could not be started");
    if (engineFailureShown)
        return;
    engineFailureShown = true;
    MessageDialog::openError(
        "Web Browser",
        "The web browser could not be started.\n\nPages cannot be shown in the program's "
        "own browser window; everything else works as usual.");
}

} // namespace

WebBrowserDialog* WebBrowserDialog::getInstance()
{
    if (theDialog)
        return theDialog;
    if (const std::optional<std::string> why = winapi::browser::whyEngineCannotStart()) {
        showStatus("Web Browser not available: " + *why);
        return nullptr;
    }
    ComPtr<winapi::IWebBrowser2> browser = com::createInternetExplorer(winapi::CLSCTX_LOCAL_SERVER);
    if (!browser || !winapi::browser::browserWidget(com::getBrowserHwnd(browser.get()))) {
        if (browser)
            browser->Quit();
        reportNoBrowser();
        return nullptr;
    }
    MainWindow::setDisposeBrowserDialog(&WebBrowserDialog::dispose);
    new WebBrowserDialog(MainWindow::getInstance(), std::move(browser)); // owned by its shell
    return theDialog;
}

WebBrowserDialog* WebBrowserDialog::instance()
{
    return theDialog;
}

WebBrowserDialog::WebBrowserDialog(QWidget* parent, ComPtr<winapi::IWebBrowser2> browser)
    : browser_(std::move(browser))
{
    auto* shell = new Shell(parent, this);
    shell_ = shell;
    theDialog = this;
    contextMenu_ = new QMenu(shell);
    if (categories().empty())
        buildCategoryTable();
    padFields_ = {{"&XML", "Application_XML_File_URL"},
                  {"&Screen", "Application_Screenshot_URL"},
                  {"&Name", "Program_Name"},
                  {"&ID", "Affiliates_Regnow_Product_ID"},
                  {"&Download", "Primary_Download_URL"},
                  {"&Email", "Author_Email"},
                  {"I&nfo", "Application_Info_URL"},
                  {"&Desc 250", "Char_Desc_250"},
                  {"D&esc 2000", "Char_Desc_2000"},
                  {"I&con", "Application_Icon_URL"},
                  {"&Order", "Application_Order_URL"},
                  {"&Keywords", "Keywords"},
                  {"&Company", "Company_Name"},
                  {"&pad_locale", "pad_locale"},
                  {"&exe_locale", "exe_locale"}};
    auto* grid = new QGridLayout(shell);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setHorizontalSpacing(1);
    createButtons();
    shell->setWindowTitle("Web Browser");
    shell->setFixedSize(800, 600);
    hookContextMenu(shell);
    auto* host = new QWidget(shell);
    host->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    grid->addWidget(host, 1, 0, 1, static_cast<int>(padFields_.size()));
    grid->setRowStretch(1, 1);
    host_ = host;
    placeBrowser(host);
}

WebBrowserDialog::~WebBrowserDialog()
{
    closeBrowser();
    if (theDialog == this)
        theDialog = nullptr;
}

void WebBrowserDialog::createButtons()
{
    auto* grid = static_cast<QGridLayout*>(shell_->layout());
    int column = 0;
    for (const auto& [label, field] : padFields_) {
        auto* button = new QPushButton(QString::fromStdString(label), shell_);
        button->setToolTip(QString::fromStdString("copy " + field + " to Clipboard"));
        // The style's usual button width gives 15 buttons more than the dialog's width, and an even
        // squeeze cuts the long labels; each keeps at least the room its own label needs.
        button->setMinimumWidth(
            button->fontMetrics().horizontalAdvance(button->text().remove('&')) + 8);
        grid->addWidget(button, 0, column++);
        QObject::connect(button, &QPushButton::clicked, button,
                         [this, button] { copyPadField(button); });
    }
}

void WebBrowserDialog::placeBrowser(QWidget* host)
{
    ieHwnd_ = com::getBrowserHwnd(browser_.get());
    QWidget* frame = winapi::browser::browserWidget(ieHwnd_);
    ieParent_ = frame ? frame->parentWidget() : nullptr;
    browser_->put_Resizable(winapi::VARIANT_FALSE);
    browser_->put_AddressBar(winapi::VARIANT_FALSE);
    browser_->put_ToolBar(0);
    browser_->put_MenuBar(winapi::VARIANT_FALSE);
    browser_->put_StatusBar(winapi::VARIANT_TRUE);
    browser_->put_Silent(winapi::VARIANT_TRUE);
    browser_->put_Width(785);
    browser_->put_Height(530);
    browser_->put_Left(0);
    browser_->put_Top(0);
    browser_->put_Visible(winapi::VARIANT_TRUE);
    if (!frame)
        return;
    // The frame keeps its own size; it is not laid out with the dialog.
    frame->setParent(host);
    frame->move(0, 0);
    frame->show();
}

void WebBrowserDialog::closeBrowser()
{
    if (!browser_)
        return;
    if (ie::isBrowserWindow(browser_.get())) {
        if (QWidget* frame = winapi::browser::browserWidget(ieHwnd_)) {
            frame->hide();
            frame->setParent(ieParent_, ieParent_ ? Qt::Widget : Qt::Window);
        }
        browser_->put_Visible(winapi::VARIANT_FALSE);
        browser_->Quit();
    }
    browser_.reset();
}

void WebBrowserDialog::hookContextMenu(QWidget* control)
{
    QObject::connect(contextMenu_, &QMenu::aboutToShow, contextMenu_, [this] {
        // The shared commands, as registered now.
        contextMenu_->clear();
        for (const auto& entry : contextEntries()) {
            if (entry)
                extends::Commands::addTo(contextMenu_, *entry);
            else
                contextMenu_->addSeparator();
        }
        extends::MyMenuListener::getInstance().menuAboutToShow();
    });
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(
        control, &QWidget::customContextMenuRequested, contextMenu_,
        [this, control](const QPoint& at) { contextMenu_->popup(control->mapToGlobal(at)); });
}

void WebBrowserDialog::show()
{
    if (!shell_)
        return;
    if (shell_->isVisible()) {
        shell_->raise();
        shell_->activateWindow();
    } else if (placed_) {
        shell_->show();
    } else {
        placed_ = true;
        placeOverTables();
        shell_->show();
        placeOverTables(); // again with the frame the window system put around it
    }
}

void WebBrowserDialog::placeOverTables()
{
    auto* window = dynamic_cast<MainWindow*>(shell_->parentWidget());
    if (!window || !window->getTabFolder() || !window->screen())
        return;
    QScreen* screen = window->screen();
    shell_->setScreen(screen);
    const QRect room = screen->availableGeometry();
    const QSize size = shell_->frameGeometry().size();
    const QPoint tables = window->getTabFolder()->mapToGlobal(QPoint(0, 0));
    // Over the tables, moved back only as far as the screen's edge makes it.
    const auto fit = [](int at, int low, int high) { return std::max(low, std::min(at, high)); };
    shell_->move(fit(tables.x(), room.left(), room.right() + 1 - size.width()),
                 fit(tables.y(), room.top(), room.bottom() + 1 - size.height()));
}

void WebBrowserDialog::openUrl(const std::string& url)
{
    show();
    if (url == logOnPageUrlWithSiteId())
        return;
    navigate(url);
}

void WebBrowserDialog::navigate(const std::string& url)
{
    ie::navigate(browser_.get(), url);
}

std::optional<std::string> WebBrowserDialog::loadHtml(const std::string& html,
                                                      const std::string& baseUrl)
{
    ComPtr<winapi::IWebBrowser2> browser = browser_; // the load waits; the dialog may go meanwhile
    if (!browser || !ie::isBrowserWindow(browser.get()))
        return "the browser has closed";
    ComPtr<winapi::IDispatch> document = ie::stopForDocument(browser.get(), 5000);
    if (!document)
        return "the page did not stop loading within 5 seconds";
    try {
        if (!vorn::IE::loadHtml(document.get(), html, baseUrl))
            return "the browser refused the page";
    } catch (const std::exception& e) {
        return e.what();
    }
    return std::nullopt;
}

std::string WebBrowserDialog::getLocationUrl()
{
    if (!theDialog)
        return {};
    const std::string url = com::getBrowserLocationUrl(theDialog->browser_.get()).value_or("");
    return isBlankPage(url) ? std::string() : url;
}

void WebBrowserDialog::copyLocationUrl()
{
    showStatus("");
    const std::string url = getLocationUrl();
    if (url.empty()) {
        showStatus("not got location URL");
        return;
    }
    copyText(url);
}

void WebBrowserDialog::copyPadField(QPushButton* button)
{
    try {
        showStatus("");
        tab::Listed_Urls* current = tab::Listed_Urls::currentListedUrls();
        if (!current) {
            showStatus("Please Crate a Software record first");
            return;
        }
        shell_->setWindowTitle(QString::fromStdString(current->name));
        const std::string label = button->text().toStdString();
        std::string field;
        for (const auto& [l, f] : padFields_)
            if (l == label)
                field = f;
        std::optional<std::string> value;
        if (field == "pad_locale" || field == "exe_locale") {
            base::RecordPtr product = extends::MyMenuListener::isSubmitProductEnabled();
            if (!product)
                return;
            value = field == "pad_locale" ? getPadLocale(*product) : getExeLocale(*product);
            if (!value || value->empty()) {
                MessageDialog::openInformation(getId(*product).value_or(""), field + " not setted");
                return;
            }
        } else {
            std::string whyNotRead;
            value = readPad(current->name, field, &whyNotRead);
            if (!whyNotRead.empty())
                showStatus(whyNotRead);
        }
        if (value && !value->empty())
            copyText(*value);
    } catch (...) {
        report::caught("copyPadField");
    }
}

void WebBrowserDialog::dispose()
{
    if (theDialog)
        theDialog->closeBrowser();
}

const CategoryTable& WebBrowserDialog::categories()
{
    return categoryTable();
}

void WebBrowserDialog::buildCategoryTable()
{
    dialog::buildCategoryTable(categoryTable());
}

} // namespace qmk::dialog
