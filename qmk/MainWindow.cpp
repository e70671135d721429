#include "qmk/MainWindow.h"

#include "qmk/Base.h"
#include "qmk/DB.h"
#include "qmk/Report.h"
#include "qmk/config/Config.h"
#include "qmk/config/ImageManager.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/ExactPlainText.h"
#include "qmk/extends/MyCellModifier.h"
#include "qmk/extends/NotesEditor.h"
#include "qmk/extends/ShortcutGuard.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/extends/ShownText.h"
#include "qmk/extends/TextNotesKeyAdapter.h"
#include "qmk/tab/Black_Sites.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Shareware_Sites.h"
#include "qmk/tab/Softwares.h"
#include "qmk/tab/Temp_Sites.h"
#include "vorn/Texts.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <optional>

namespace qmk {

namespace {

MainWindow* theWindow = nullptr;

const char* const notesHint = "Press Enter to save the Notes\n\n\n\n\n\n";

std::function<void()>& createActionsHook()
{
    static std::function<void()> hook;
    return hook;
}

std::function<void()>& disposeBrowserHook()
{
    static std::function<void()> hook;
    return hook;
}

using extends::Command;
// A menu or tool-bar entry; none is a separator.
using Entry = std::optional<Command>;
constexpr Entry separator = std::nullopt;

struct MenuSpec {
    const char* text;
    std::vector<Entry> entries;
    bool listening;
};

const std::vector<MenuSpec>& menuSpecs()
{
    static const std::vector<MenuSpec> specs = {
        {"&File", {Command::FindTableItemAction, Command::ExitAction}, false},
        {"&Edit", {Command::AddAction, Command::RemoveAction}, true},
        {"&Net",
         {Command::OpenHomePageAction, Command::OpenSubPageAction, separator,
          Command::InboundLinksAction, Command::GoogleSearchAction, separator,
          Command::PageRankAction},
         true},
        {"&Products", {Command::FirstProductAction, Command::SecondProductAction}, false},
        {"&Help", {Command::HomeAction, Command::HelpAction, Command::AboutAction}, false},
    };
    return specs;
}

const std::vector<Entry>& toolBarEntries()
{
    static const std::vector<Entry> entries = {Command::AddAction,
                                               Command::RemoveAction,
                                               separator,
                                               Command::FindTableItemAction,
                                               separator,
                                               Command::OpenHomePageAction,
                                               Command::OpenSubPageAction,
                                               separator,
                                               Command::GoogleSearchAction,
                                               Command::InboundLinksAction,
                                               Command::PageRankAction,
                                               separator,
                                               Command::HelpAction,
                                               Command::AboutAction};
    return entries;
}

// The viewer of a tab page, or null.
extends::TableViewer* viewerOf(const QWidget* page)
{
    ViewerRecords* records = extends::TableViewer::viewerRecordsOf(page);
    return records ? dynamic_cast<extends::TableViewer*>(records->getTableViewer()) : nullptr;
}

// The one row of the viewer that shows the site of record: the row stored under the same id
// (class and value), else the first showing its id; -1 when none does. Twins an older file holds
// (12345 as a number and as text) are never both selected.
int rowShowing(extends::TableViewer& viewer, const base::BaseRecord* record)
{
    const std::optional<std::string> id = record ? record->get("id") : std::nullopt;
    if (!id)
        return -1;
    const std::optional<base::StoredKey> key = record->storedKey();
    int first = -1;
    for (int row = 0; row < viewer.rowCount(); ++row) {
        const base::RecordPtr& shown = viewer.recordAt(row);
        if (shown->get("id") != id)
            continue;
        const std::optional<base::StoredKey> shownKey = shown->storedKey();
        if (key && shownKey && shownKey->sameAs(*key))
            return row;
        if (first < 0)
            first = row;
    }
    return first;
}

} // namespace

MainWindow::MainWindow(DB* db) : db_(db)
{
    theWindow = this;
    if (db_)
        db_->setWindow(this);
    if (createActionsHook())
        createActionsHook()();
    createMenus();
    toolBar_ = addToolBar("Tools");
    toolBar_->setObjectName("tools");
    toolBar_->setMovable(false);
    setStatusBar(new extends::ElidedStatusBar(this));
    fillCommandBars();
    clipboard_ = QApplication::clipboard();
}

MainWindow::~MainWindow()
{
    if (db_ && db_->getWindow() == this)
        db_->setWindow(nullptr);
    // The tab pages go with the window; the table views stay for a next window.
    delete tabFolder_;
    tabFolder_ = nullptr;
    tab::Listed_Urls::reset();
    if (theWindow == this)
        theWindow = nullptr;
}

MainWindow* MainWindow::getInstance()
{
    return theWindow;
}

void MainWindow::setCreateActions(std::function<void()> createActions)
{
    createActionsHook() = std::move(createActions);
}

void MainWindow::setDisposeBrowserDialog(std::function<void()> dispose)
{
    disposeBrowserHook() = std::move(dispose);
}

void MainWindow::createMenus()
{
    for (const MenuSpec& spec : menuSpecs()) {
        QMenu* menu = menuBar()->addMenu(spec.text);
        menu->setSeparatorsCollapsible(true);
        if (spec.listening)
            connect(menu, &QMenu::aboutToShow, this, [] { extends::Commands::menuAboutToShow(); });
    }
}

QMenu* MainWindow::menu(const std::string& text) const
{
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->text().toStdString() == text)
            return action->menu();
    return nullptr;
}

void MainWindow::fillCommandBars()
{
    for (const MenuSpec& spec : menuSpecs()) {
        QMenu* target = menu(spec.text);
        target->clear();
        for (const Entry& entry : spec.entries) {
            if (!entry)
                target->addSeparator();
            else
                extends::Commands::addTo(target, *entry);
        }
    }
    toolBar_->clear();
    for (const Entry& entry : toolBarEntries()) {
        if (!entry)
            toolBar_->addSeparator();
        else if (QAction* action = extends::Commands::find(*entry))
            toolBar_->addAction(action);
    }
}

void MainWindow::open()
{
    if (opened_)
        return;
    opened_ = true;
    configureShell();
    createContents();
    show();
}

int MainWindow::run()
{
    open();
    // The loop ends with this window (closeEvent), not with the last window: the find and browser
    // windows refuse to close, and a refused close would cancel the application's quit.
    const bool quitOnLast = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    running_ = true;
    const auto restore = qScopeGuard([this, quitOnLast] {
        running_ = false;
        QGuiApplication::setQuitOnLastWindowClosed(quitOnLast);
    });
    return QApplication::exec();
}

void MainWindow::configureShell()
{
    setWindowTitle(QString::fromStdString(vorn::Texts::windowTitle()));
    QIcon icon = config::ImageManager::getInstance().icon("soft32.ico");
    if (const QPixmap* png = config::ImageManager::getInstance().get("soft32.png"))
        icon.addPixmap(*png);
    setWindowIcon(icon);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableVirtualGeometry().size());
    // The size above is the client area's; with a window manager's frame around it the window would run
    // past the work area and hide the status line, so the manager fits the frame to the work area.
    setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::createContents()
{
    auto* composite = new QWidget(this);
    auto* layout = new QVBoxLayout(composite);
    tabFolder_ = new extends::ElidedTabWidget(composite);
    tabFolder_->setDocumentMode(false);
    tabFolder_->setTabsClosable(false);
    tabFolder_->setStyleSheet("QTabBar::tab:selected { background: qlineargradient(x1:0, y1:0, "
                              "x2:1, y2:0, stop:0 #008000, "
                              "stop:0.25 #00ff00, stop:0.45 #008080, stop:1 #00ffff); }");
    layout->addWidget(tabFolder_, 1);
    connect(tabFolder_, &QTabWidget::currentChanged, this, &MainWindow::onTabSelected);
    notesLabel_ = new extends::ElidedLabel("Notes:", composite);
    layout->addWidget(notesLabel_);
    notesText_ = new QPlainTextEdit(composite);
    notesText_->setPlainText(notesHint);
    notesText_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    notesText_->setFixedHeight(notesText_->fontMetrics().lineSpacing() * 7 +
                               2 * notesText_->frameWidth() + 8);
    notesText_->installEventFilter(new extends::TextNotesKeyAdapter(notesText_));
    notesEditor_ = new extends::NotesEditor(notesText_, notesLabel_, tabFolder_);
    layout->addWidget(notesText_);
    setCentralWidget(composite);
    tab::Shareware_Sites::openTab();
    tab::Softwares::openTab();
    tab::Black_Sites::openTab();
    tab::Temp_Sites::openTab();
    tab::Listed_Urls::openTab();
    // The tables shown while they were built took the hint: the restored row may show its notes.
    notesEditor_->showUnowned(notesHint);
    restoreState();
}

bool MainWindow::event(QEvent* event)
{
    // Menus, the tool bar and hovered widgets hand the window status tips (empty ones when the
    // pointer leaves): the status line is the program's log and keeps its text.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void MainWindow::setStatus(const std::string& text)
{
    statusBar()->showMessage(QString::fromStdString(extends::shownStart(text)));
}

std::string MainWindow::statusText() const
{
    return statusBar()->currentMessage().toStdString();
}

void MainWindow::onTabSelected(int index)
{
    QWidget* page = tabFolder_ ? tabFolder_->widget(index) : nullptr;
    auto* table = qobject_cast<QTableView*>(page);
    if (!table)
        return;
    // Notes typed for a row of the table left go to the file before any list is read again here;
    // notes not stored keep their report in sight.
    const bool notesReported = notesEditor_ && !notesEditor_->leave();
    ViewerRecords* records = extends::TableViewer::viewerRecordsOf(page);
    // A list the file could not give last time is read now; while it cannot be, the status
    // line keeps the reason.
    if (db_ && records && db_->isUnread(records->name))
        openTab(DB::tabOf(records->name));
    // An edit this switch ended and did not store keeps its report in sight.
    const bool editReported = extends::TableViewer::takeHiddenEditUnstored() || notesReported;
    if (!editReported && (!db_ || !records || !db_->isUnread(records->name)))
        setStatus(tabText(tabFolder_, index) +
                  ",  total: " + std::to_string(table->model()->rowCount()));
    extends::TableViewer* viewer = viewerOf(page);
    if (!viewer)
        return;
    std::vector<int> rows;
    for (const base::RecordPtr& remembered : lastSelection())
        if (const int row = rowShowing(*viewer, remembered.get()); row >= 0)
            rows.push_back(row);
    const std::optional<ViewerCell>& cell = mouseCell();
    if (rows.empty() && cell)
        if (const int row = rowShowing(*viewer, cell->record.get()); row >= 0)
            rows.push_back(row);
    if (!rows.empty())
        viewer->setSelection(rows);
    showNotes();
}

void MainWindow::showNotes()
{
    if (notesEditor_)
        notesEditor_->follow();
}

void MainWindow::restoreState()
{
    const std::string index =
        config::Config::getInstance().getPreferenceStore().getString("last_ctabitem_index");
    if (!index.empty()) {
        bool number = false;
        const int wanted = QString::fromStdString(index).toInt(&number);
        if (!number) {
            report::trace("last_ctabitem_index ignored, not a number: " + index);
        } else if (wanted != tabFolder_->currentIndex() && wanted >= 0 &&
                   wanted < tabFolder_->count()) {
            const QSignalBlocker quiet(tabFolder_);
            tabFolder_->setCurrentIndex(wanted);
        }
    }
    restoreLastRecord();
    focusShownTable();
}

void MainWindow::focusShownTable()
{
    QWidget* page = tabFolder_ ? tabFolder_->currentWidget() : nullptr;
    QWidget* focus = focusWidget();
    if (!page || (focus && (focus == page || page->isAncestorOf(focus))))
        return;
    if (focus && extends::ShortcutGuard::editsText(focus) && !tabFolder_->isAncestorOf(focus))
        return;
    page->setFocus(Qt::OtherFocusReason);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    extends::TableViewer* viewer = tabFolder_ ? viewerOf(tabFolder_->currentWidget()) : nullptr;
    if (viewer && !extends::ShortcutGuard::editsText(focusWidget()) &&
        viewer->runMenuAccelerator(event)) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::saveState()
{
    qmk::saveState();
}

void MainWindow::addNewRecord()
{
    setStatus("");
    if (ViewerRecords* records = currentViewerRecords())
        records->addNewRecord();
}

void MainWindow::removeSelectedRecord()
{
    setStatus("");
    if (!selectedRecord()) {
        setStatus("please select a record first");
        return;
    }
    if (ViewerRecords* records = currentViewerRecords())
        records->removeSelected();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closed_) {
        // An open edit that was not stored (refused or failed) keeps the window open, so its
        // report is read; the editor has gone, so a second close ends the program. Notes the box
        // could not store stay typed: the second close tries them again and ends the program
        // whatever comes of it. A write that failed while this close waited for it keeps the
        // window open too, until its report can have been read.
        const bool unread = unreadReport_.pending();
        const bool editsKept = commitCellEditors();
        const bool notesKept = !notesEditor_ || notesEditor_->storeAtClose();
        if (unread || !notesKept || !editsKept) {
            event->ignore();
            return;
        }
    }
    shutDown();
    QMainWindow::closeEvent(event);
    closeOwnWindows();
    if (running_)
        QCoreApplication::exit(0);
}

void MainWindow::closeOwnWindows()
{
    for (QWidget* child : findChildren<QWidget*>())
        if (child->isWindow() && child->isVisible())
            child->hide();
}

bool MainWindow::commitOpenEditors()
{
    const QWidget* shown = tabFolder_ ? tabFolder_->currentWidget() : nullptr;
    const extends::StoredSince before;
    commitCellEditors();
    const bool notes = !notesEditor_ || notesEditor_->leave();
    // A renamed product brings its listing forward: a command meant for the tab the user saw
    // must not run on another.
    const bool samePlace = !tabFolder_ || tabFolder_->currentWidget() == shown;
    return before.noneRefused() && notes && samePlace;
}

bool MainWindow::commitCellEditors()
{
    const extends::StoredSince before;
    for (int index = 0; tabFolder_ && index < tabFolder_->count(); ++index)
        if (extends::TableViewer* viewer = viewerOf(tabFolder_->widget(index)))
            viewer->commitOpenEditor();
    return before.allStored();
}

void MainWindow::shutDown()
{
    if (closed_)
        return;
    closed_ = true;
    clipboard_ = nullptr;
    if (disposeBrowserHook())
        disposeBrowserHook()();
    if (db_) {
        try {
            db_->close();
        } catch (const std::exception& e) {
            report::trace(std::string("close catch ") + e.what());
        }
    }
    qmk::saveState();
}

bool MainWindow::registerProduct(const std::string& productId)
{
    return tab::Listed_Urls::registerProduct(productId);
}

bool MainWindow::unregisterProduct(const std::string& productId)
{
    return tab::Listed_Urls::unregisterProduct(productId);
}

bool MainWindow::closeCurrentListedUrls()
{
    return tab::Listed_Urls::closeCurrentListedUrls();
}

bool MainWindow::setCurrentListedUrls(const std::string& productId)
{
    tab::Listed_Urls::registerProduct(productId);
    tab::Listed_Urls* view = tab::Listed_Urls::listedUrlsFor(productId);
    tab::Listed_Urls::setCurrentListedUrls(view);
    return view != nullptr;
}

std::optional<std::string> MainWindow::currentListedUrlsName()
{
    tab::Listed_Urls* current = tab::Listed_Urls::currentListedUrls();
    if (!current)
        return std::nullopt;
    return current->name;
}

void MainWindow::refreshContextMenu()
{
    if (tab::Listed_Urls* current = tab::Listed_Urls::currentListedUrls())
        current->refreshContextMenu();
}

void MainWindow::openTab(Tab tab)
{
    switch (tab) {
    case Tab::Shareware_Sites: tab::Shareware_Sites::openTab(); break;
    case Tab::Softwares: tab::Softwares::openTab(); break;
    case Tab::Black_Sites: tab::Black_Sites::openTab(); break;
    case Tab::Temp_Sites: tab::Temp_Sites::openTab(); break;
    case Tab::Listed_Urls: tab::Listed_Urls::openTab(); break;
    }
}

std::string MainWindow::lastTabText()
{
    if (!tabFolder_ || tabFolder_->count() == 0)
        return std::string();
    return tabText(tabFolder_, tabFolder_->count() - 1);
}

} // namespace qmk
