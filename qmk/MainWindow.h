#pragma once
// The single main window: menu bar, tool bar, status line, the tab folder with the five tables
// and the notes pane under it. It keeps the user's place between runs and is the window the
// database object reports to (WindowPort).
//
// Make it after the QApplication, the settings store and the database object; it does not own
// the database, which must outlive it. UI thread only.
#include "qmk/UnreadReport.h"
#include "qmk/WindowPort.h"
#include "qmk/extends/ElidedText.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QClipboard;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QToolBar;

namespace qmk {

class DB;
namespace extends {
class NotesEditor;
}

class MainWindow : public QMainWindow, public WindowPort {
    Q_OBJECT

public:
    // Registers itself with db (when given) as the window it reports to.
    explicit MainWindow(DB* db = nullptr);
    ~MainWindow() override;

    // The single window, or null while there is none.
    static MainWindow* getInstance();
    // Called once by every new window before it fills its menus: the command set creates and
    // registers its command objects there.
    static void setCreateActions(std::function<void()> createActions);
    // Called by close: disposes the browser dialog when it was made.
    static void setDisposeBrowserDialog(std::function<void()> dispose);

    // Builds the window's contents (five tabs, notes pane), restores the place, shows the window.
    void open();
    // open, then the event loop until the window has closed (whatever other windows are open);
    // the loop's exit code.
    int run();

    QClipboard* getClipboard() const { return clipboard_; }
    QTabWidget* getTabFolder() const { return tabFolder_; }
    QLabel* notesLabel() const { return notesLabel_; }
    QPlainTextEdit* notesText() const { return notesText_; }
    QMenu* menu(const std::string& text) const;
    QToolBar* toolBar() const { return toolBar_; }
    // Replaces the status line's text; nothing else changes it.
    void setStatus(const std::string& text);
    std::string statusText() const;
    // True once the window has closed (the database is closed then).
    bool isClosed() const { return closed_; }

    // The tab switch: status text, then the remembered rows or the mouse cell's record selected,
    // and the notes of the shown table's highlighted row.
    void onTabSelected(int index);
    // The notes heading and box follow the highlighted row of the shown table: "Notes : <id>"
    // and its notes; "Notes:" and an empty box when no row is highlighted (NotesEditor::follow).
    void showNotes();
    // The editor of the notes box: its row, what was typed, its store.
    extends::NotesEditor* notesEditor() const { return notesEditor_; }
    // Restores the saved tab and row; the shown table takes the keyboard focus.
    void restoreState();
    // A tab the program brings forward: its table takes the keyboard focus, unless text outside
    // the tables is being typed (the notes box) or the focus is in that table already.
    void focusShownTable();
    void saveState();
    // Stores the edit still open in a cell of any tab and the notes typed into the box (a command
    // does so before it runs); false when one was refused or not stored (an edit kept by a row
    // not stored yet is taken), whose report is on the status line then, or when storing brought
    // another tab forward: the command is not to run then.
    bool commitOpenEditors();
    void addNewRecord();
    void removeSelectedRecord();
    // Refills the menus and the tool bar from the registered commands.
    void fillCommandBars();

    // WindowPort
    void showStatus(const std::string& text) override { setStatus(text); }
    bool registerProduct(const std::string& productId) override;
    bool unregisterProduct(const std::string& productId) override;
    bool closeCurrentListedUrls() override;
    bool setCurrentListedUrls(const std::string& productId) override;
    std::optional<std::string> currentListedUrlsName() override;
    void refreshContextMenu() override;
    void openTab(Tab tab) override;
    std::string lastTabText() override;

protected:
    // Status tips are refused: only setStatus changes the status line.
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A key that no widget took (the focus on the tab bar, the tool bar or nowhere) runs the
    // shown table's context-menu entry of that accelerator; never a key left by text editing.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Stores the edit still open in a cell of any tab; false as commitOpenEditors.
    bool commitCellEditors();
    void configureShell();
    void createContents();
    void createMenus();
    // The close order: clipboard, browser dialog, database, place; true once done.
    void shutDown();
    // Hides the windows this window owns (find, browser, dialogs): they go with it.
    void closeOwnWindows();

    DB* db_;
    QTabWidget* tabFolder_ = nullptr;
    QClipboard* clipboard_ = nullptr;
    extends::ElidedLabel* notesLabel_ = nullptr;
    QPlainTextEdit* notesText_ = nullptr;
    extends::NotesEditor* notesEditor_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    bool opened_ = false;
    bool closed_ = false;
    bool running_ = false;
    UnreadReport unreadReport_; // a close must not hide it
};

} // namespace qmk
