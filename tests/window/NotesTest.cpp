// The notes pane: a click shows a record's notes, Enter saves them.
#include "Fixture.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/UnreadReport.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <functional>

namespace qmk::test {
namespace {

using Notes = WindowTest;

TEST_F(Notes, EnterBeforeAnyClickStoresNothingAndSaysSo)
{
    addSite("Shareware_Sites", "a.com", "1", "keep");
    openWindow();
    QTest::keyClick(window_->notesText(), Qt::Key_Return);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"), std::vector<std::string>{"keep"});
    EXPECT_EQ(status(), "notes not stored: no row selected");
}

TEST_F(Notes, ClickShowsNotesAndEnterOrKeypadEnterSavesThem)
{
    addSite("Shareware_Sites", "a.com", "2", "first");
    addSite("Shareware_Sites", "b.com", "1", "second");
    addProduct("Tool", "1");
    addSite("Tool", "b.com", "1", "second");
    openWindow();
    selectTab(0);
    clickRow(0, 1);
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes : b.com");
    EXPECT_EQ(window_->notesText()->toPlainText().toStdString(), "second");
    QPlainTextEdit* notes = window_->notesText();
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " updated");
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"second updated"});
    EXPECT_EQ(column("SELECT notes FROM Tool WHERE id='b.com'"),
              std::vector<std::string>{"second updated"});
    EXPECT_EQ(viewAt(0)->getById("b.com")->get("notes"), "second updated");

    QTest::keyClick(notes, Qt::Key_Return); // only blank lines added
    EXPECT_EQ(status(), "b.com notes not changed");

    notes->setPlainText("by keypad");
    QTest::keyClick(notes, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"by keypad"});

    notes->setPlainText("other key");
    QTest::keyClick(notes, Qt::Key_Tab);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"by keypad"});
}

TEST_F(Notes, EnterKeepsNoBreakSpacesAndCrLfLineBreaksAsStored)
{
    addListedSiteWithNotes("a.com", "'a' || char(160) || 'b' || char(13, 10) || 'c'");
    addSite("Shareware_Sites", "b.com", "2", "plain");
    openWindow();
    selectTab(0);
    clickRow(0, rowOfId(0, "a.com"));
    QPlainTextEdit* notes = window_->notesText();
    notes->moveCursor(QTextCursor::End);
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(status(), "a.com notes not changed");
    const std::string stored = "61C2A0620D0A63";
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{stored});
    EXPECT_EQ(column("SELECT hex(notes) FROM Tool"), std::vector<std::string>{stored});

    QTest::keyClicks(notes, "d"); // on the line the Enter above added
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{stored + "0D0A64"});
    EXPECT_EQ(column("SELECT hex(notes) FROM Tool"), std::vector<std::string>{stored + "0D0A64"});

    // a line broken with Shift+Enter breaks as the note does
    QTest::keyClicks(notes, "e");
    QTest::keyClick(notes, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(notes, "f");
    QTest::keyClick(notes, Qt::Key_Return);
    const std::string broken = stored + "0D0A64" + "0D0A65" + "0D0A66";
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{broken});
    EXPECT_EQ(column("SELECT hex(notes) FROM Tool"), std::vector<std::string>{broken});

    // a note without line breaks gets LF
    clickRow(0, rowOfId(0, "b.com"));
    notes->selectAll();
    QTest::keyClicks(notes, "one");
    QTest::keyClick(notes, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(notes, "two");
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"6F6E650A74776F"});
}

TEST_F(Notes, SavedIntoTheCurrentTabsRecordOfThatId)
{
    addSite("Shareware_Sites", "a.com", "1", "catalogue");
    addSite("Black_Sites", "x.com");
    openWindow();
    selectTab(0);
    clickRow(0, 0);
    selectTab(2); // Black_Sites has no a.com
    window_->notesText()->setPlainText("lost");
    QTest::keyClick(window_->notesText(), Qt::Key_Return);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"), std::vector<std::string>{"catalogue"});
}

TEST_F(Notes, FollowTheShownTabAndATabReadAgain)
{
    addSite("Shareware_Sites", "a.com", "1", "site notes");
    addProduct("Tool", "1");
    addSite("Tool", "a.com", "1");
    openWindow();
    QLabel* heading = window_->notesLabel();
    QPlainTextEdit* notes = window_->notesText();
    selectTab(0);
    clickRow(0, 0);
    selectTab(1);
    clickRow(1, 0);
    EXPECT_EQ(heading->text().toStdString(), "Notes : Tool");
    selectTab(0); // a.com is still highlighted there
    EXPECT_EQ(heading->text().toStdString(), "Notes : a.com");
    EXPECT_EQ(notes->toPlainText().toStdString(), "site notes");
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " typed");
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"),
              std::vector<std::string>{"site notes typed"});
    edit(0, 0, "id", QString("b.com")); // the highlighted row renamed: the heading follows
    EXPECT_EQ(heading->text().toStdString(), "Notes : b.com");

    selectTab(4);
    clickRow(4, 0);
    EXPECT_EQ(notes->toPlainText().toStdString(), "site notes typed"); // spread to the listing
    extends::Commands::run(extends::Command::SynchronizeSitesAction); // the tab is read again
    QApplication::processEvents();
    EXPECT_EQ(heading->text().toStdString(), "Notes:");
    EXPECT_EQ(notes->toPlainText().toStdString(), "");
    QTest::keyClicks(notes, "for no row");
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(status(), "notes not stored: no row selected");
    EXPECT_EQ(notes->toPlainText().toStdString(), "for no row\n");
    EXPECT_EQ(column("SELECT notes FROM Tool"), std::vector<std::string>{"site notes typed"});
}

TEST_F(Notes, TheBoxFollowsItsRowsStoredNotesUntilTypedInto)
{
    addListedSiteWithNotes("a.com", "'old note'");
    openWindow();
    selectTab(0);
    clickRow(0, 0);
    QPlainTextEdit* notes = window_->notesText();
    auto* cell = qobject_cast<QPlainTextEdit*>(openEditor(0, 0, "notes"));
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, "called them");
    QTest::keyClick(cell, Qt::Key_Return, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(notes->toPlainText().toStdString(), "called them");
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " - follow up");
    QTest::keyClick(notes, Qt::Key_Return);
    const std::vector<std::string> followedUp(2, "called them - follow up");
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites UNION ALL SELECT notes FROM Tool"),
              followedUp);

    // once stored, the box follows the row again; typed into, it keeps the text through a change
    // of the row and a reading of the list
    edit(0, 0, "notes", QString("by the cell"));
    EXPECT_EQ(notes->toPlainText().toStdString(), "by the cell");
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " and the box");
    edit(0, 0, "g_user", QString("someone"));
    extends::Commands::run(extends::Command::RefreshViewAction);
    QApplication::processEvents();
    clickRow(0, 0);
    EXPECT_EQ(notes->toPlainText().toStdString(), "by the cell and the box");
}

TEST_F(Notes, TextTypedIntoTheBoxIsStoredAtClose)
{
    addListedSiteWithNotes("a.com", "'old'");
    exec("CREATE TABLE writes(n); CREATE TRIGGER counted AFTER UPDATE ON Shareware_Sites BEGIN "
         "INSERT INTO writes VALUES (1); END;");
    openWindow();
    selectTab(0);
    clickRow(0, 0);
    QPlainTextEdit* notes = window_->notesText();
    notes->selectAll();
    QTest::keyClicks(notes, "typed, no Enter");
    // another program holds the file: the window stays to say so; the next close ends it
    db_->getConnection().setBusyTimeout(100);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    closeWindow();
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(status(), "notes of row a.com in Shareware_Sites not stored: database is locked");
    QTest::qWait(int(UnreadReport::readTime.count()) + 100); // the report read
    clickRow(0, 0); // the text stays typed for the next try
    EXPECT_EQ(notes->toPlainText().toStdString(), "typed, no Enter");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites UNION ALL SELECT notes FROM Tool"),
              std::vector<std::string>(2, "typed, no Enter"));
    EXPECT_EQ(column("SELECT count(*) FROM writes"), std::vector<std::string>{"1"});

    // the box holding the stored note writes nothing
    reopenDatabase();
    openWindow();
    selectTab(0);
    clickRow(0, 0);
    EXPECT_EQ(window_->notesText()->toPlainText().toStdString(), "typed, no Enter");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT count(*) FROM writes"), std::vector<std::string>{"1"});

    // Enter inside the text, then after select-all: what is stored is what the box shows, and
    // the close adds nothing
    reopenDatabase();
    openWindow();
    selectTab(0);
    clickRow(0, 0);
    notes = window_->notesText();
    QTextCursor cursor = notes->textCursor();
    cursor.setPosition(5);
    notes->setTextCursor(cursor);
    QTest::keyClicks(notes, "X");
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(notes->toPlainText().toStdString(), "typedX\n, no Enter");
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites UNION ALL SELECT notes FROM Tool"),
              std::vector<std::string>(2, "typedX\n, no Enter"));
    notes->selectAll();
    QTest::keyClick(notes, Qt::Key_Return);
    EXPECT_EQ(status().substr(status().find(", column")), ", column: notes, new value: ");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites UNION ALL SELECT notes FROM Tool"),
              std::vector<std::string>(2, ""));
    EXPECT_EQ(column("SELECT count(*) FROM writes"), std::vector<std::string>{"3"});
}

TEST_F(Notes, TypedNotesReachTheirRowWhenTheUserLeavesIt)
{
    addListedSiteWithNotes("a.com", "'note a'");
    addSite("Shareware_Sites", "b.com", "1", "note b");
    addSite("Shareware_Sites", "c.com", "1", "note c");
    openWindow();
    window_->activateWindow();
    selectTab(0);
    QPlainTextEdit* notes = window_->notesText();
    const auto type = [notes](const char* text) {
        notes->moveCursor(QTextCursor::End);
        QTest::keyClicks(notes, text);
    };
    const auto notesOf = [this](const std::string& table, const std::string& id) {
        return column("SELECT notes FROM " + table + " WHERE id='" + id + "'");
    };
    using Notes = std::vector<std::string>;

    // a click on another row, the focus in the box
    clickRow(0, rowOfId(0, "a.com"));
    QTest::mouseClick(notes->viewport(), Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), notes);
    type(" one");
    clickRow(0, rowOfId(0, "b.com"));
    EXPECT_EQ(notesOf("Shareware_Sites", "a.com"), Notes{"note a one"});
    EXPECT_EQ(notes->toPlainText().toStdString(), "note b");
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes : b.com");

    // Down in the table
    clickRow(0, 0);
    const std::string first = idsShown(0)[0];
    type(" two");
    QTest::keyClick(viewerAt(0)->getTable(), Qt::Key_Down);
    EXPECT_EQ(notesOf("Shareware_Sites", first), Notes{"note " + first.substr(0, 1) + " two"});
    EXPECT_EQ(notes->toPlainText().toStdString(), "note " + idsShown(0)[1].substr(0, 1));

    // the listing tab, showing the same site; then a tab with no row selected, and the close
    clickRow(0, rowOfId(0, "a.com"));
    type(" three");
    QTabBar* tabs = window_->getTabFolder()->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    QApplication::processEvents();
    EXPECT_EQ(notesOf("Shareware_Sites", "a.com"), Notes{"note a one three"});
    EXPECT_EQ(notes->toPlainText().toStdString(), "note a one three");
    type(" four");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    QApplication::processEvents();
    EXPECT_EQ(notesOf("Tool", "a.com"), Notes{"note a one three four"});
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes:");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(Notes, TypedNotesReachTheirRowBeforeACommandRuns)
{
    addSite("Shareware_Sites", "a.com", "2", "note a");
    addSite("Shareware_Sites", "b.com", "1", "note b");
    openWindow();
    selectTab(0);
    QPlainTextEdit* notes = window_->notesText();
    clickRow(0, rowOfId(0, "a.com"));
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " added");
    extends::Commands::find(extends::Command::AddAction)->trigger();
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{"note a added"});
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes : [Enter id]");

    // a move carries the typed notes into the row it makes
    clickRow(0, rowOfId(0, "b.com"));
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " moved");
    QMenu* menu = viewAt(0)->menuManager();
    emit menu->aboutToShow();
    for (QAction* action : menu->actions())
        if (action->text() == "&Move to Black Sites List")
            action->trigger();
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT notes FROM Black_Sites"), std::vector<std::string>{"note b moved"});
    EXPECT_EQ(column("SELECT count(*) FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"0"});

    // the row gone under typed notes (no command stored them first): said, and commands go on
    selectTab(0);
    clickRow(0, rowOfId(0, "a.com"));
    QTest::keyClicks(notes, " gone");
    window_->removeSelectedRecord();
    EXPECT_EQ(status(),
              "notes of row a.com in Shareware_Sites not stored: " +
                  std::string(DB::noSuchRowText));
    EXPECT_TRUE(window_->commitOpenEditors());
}

TEST_F(Notes, TypedNotesAndACellEditOfTheirRowBothReachIt)
{
    addListedSiteWithNotes("a.com", "'site note'");
    openWindow();
    window_->activateWindow();
    selectTab(0);
    clickRow(0, 0);
    QPlainTextEdit* notes = window_->notesText();
    QTest::mouseClick(notes->viewport(), Qt::LeftButton);
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, " draft");
    // the notes cell of the same row, edited and confirmed: what it stored stays
    QTableView* table = viewerAt(0)->getTable();
    const QModelIndex cell = table->model()->index(0, columnIndex(0, "notes"));
    const QPoint at = table->visualRect(cell).center();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
    auto* editor = qobject_cast<QPlainTextEdit*>(table->indexWidget(cell));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "final text");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyRelease(table, Qt::Key_Control); // Ctrl is up again
    QApplication::processEvents();
    EXPECT_EQ(notes->toPlainText().toStdString(), "final text");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites UNION ALL SELECT notes FROM Tool"),
              std::vector<std::string>(2, "final text"));

    // notes typed while the row's id is being edited: at the close both reach the row
    reopenDatabase();
    openWindow();
    selectTab(0);
    auto* id = qobject_cast<QLineEdit*>(openEditor(0, 0, "id"));
    ASSERT_NE(id, nullptr);
    id->selectAll();
    QTest::keyClicks(id, "renamed.com");
    window_->notesText()->selectAll();
    QTest::keyClicks(window_->notesText(), "NOTE TWO");
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT id || ' ' || notes FROM Shareware_Sites UNION ALL SELECT id || ' ' || "
                     "notes FROM Tool"),
              std::vector<std::string>(2, "renamed.com NOTE TWO"));
}

TEST_F(Notes, LongTextsAreElidedAndLeaveTheWindowItsWidth)
{
    const QString site = QString(2996, 'a') + ".com";
    const QString product(3000, 'P');
    addSite("Shareware_Sites", "b.com");
    addSite("Shareware_Sites", site.toStdString());
    addProduct(product.toStdString(), "1");
    openWindow();
    const int width = window_->width();
    EXPECT_LE(width, window_->screen()->availableGeometry().width());
    selectTab(0);
    clickRow(0, rowOfId(0, site.toStdString()));
    window_->setStatus("found " + site.toStdString() + " in Shareware_Sites");
    QApplication::processEvents();
    EXPECT_EQ(window_->width(), width);
    QLabel* heading = window_->notesLabel();
    EXPECT_TRUE(heading->text() == "Notes : " + site);
    EXPECT_TRUE(heading->toolTip() == "Notes : " + site)
        << heading->toolTip().left(20).toStdString();
    QStatusBar* line = window_->statusBar();
    EXPECT_TRUE(line->toolTip() == line->currentMessage() && line->toolTip().startsWith("found a"));
    QTabBar* tabs = window_->getTabFolder()->tabBar();
    EXPECT_TRUE(tabs->tabToolTip(4) == product);
    EXPECT_LE(tabs->tabRect(4).right(), tabs->width());
    EXPECT_GE(tabs->tabRect(0).width(), tabs->fontMetrics().horizontalAdvance("Shareware_Sites"));

    // nor wider than the user left it; a text that fits has no tooltip
    window_->setWindowState(Qt::WindowNoState);
    window_->resize(500, 400);
    QApplication::processEvents();
    clickRow(0, rowOfId(0, "b.com"));
    EXPECT_EQ(heading->toolTip().toStdString(), "");
    clickRow(0, rowOfId(0, site.toStdString()));
    QApplication::processEvents();
    EXPECT_EQ(window_->width(), 500);
    EXPECT_EQ(heading->toolTip().size(), site.size() + 8);
}

// A press or release of a mouse button on a row, as the window system hands it to the window
// (so a right press opens the context menu, which then holds the mouse).
void mouseOnRow(QTest::MouseAction action, QTableView* table, int row, Qt::MouseButton button)
{
    QWidget* window = table->window();
    const QPoint point = table->visualRect(table->model()->index(row, 0)).center();
    QTest::mouseEvent(action, window->windowHandle(), button, {},
                      table->viewport()->mapTo(window, point));
}

TEST_F(Notes, FollowTheRowHighlightedByARightClick)
{
    for (int i = 1; i <= 6; ++i)
        addSite("Shareware_Sites", "site" + std::to_string(i) + ".com", std::to_string(10 - i),
                "notes " + std::to_string(i));
    openWindow();
    selectTab(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    QTableView* table = viewerAt(0)->getTable();
    std::string heading;
    bool menuShown = false;
    // Each step runs on its own turn of the window's event loop.
    std::vector<std::function<void()>> steps = {
        [&] { mouseOnRow(QTest::MouseClick, table, 1, Qt::LeftButton); },
        [&] { mouseOnRow(QTest::MousePress, table, 4, Qt::RightButton); },
        [&] { mouseOnRow(QTest::MouseRelease, table, 4, Qt::RightButton); },
        [&] {
            QWidget* menu = QApplication::activePopupWidget();
            menuShown = qobject_cast<QMenu*>(menu) != nullptr;
            if (menu)
                QTest::keyClick(menu, Qt::Key_Escape);
        },
        [&] {
            QPlainTextEdit* notes = window_->notesText();
            notes->moveCursor(QTextCursor::End);
            QTest::keyClicks(notes, " typed");
            QTest::keyClick(notes, Qt::Key_Return);
            heading = window_->notesLabel()->text().toStdString();
        },
        [&] { window_->close(); }};
    std::function<void(std::size_t)> run = [&](std::size_t step) {
        if (step == steps.size())
            return;
        steps[step]();
        QTimer::singleShot(0, window_.get(), [&run, step] { run(step + 1); });
    };
    QTimer::singleShot(0, window_.get(), [&run] { run(0); });
    QTimer hung; // a step that hangs ends the loop
    hung.setSingleShot(true);
    QObject::connect(&hung, &QTimer::timeout, [] { QApplication::exit(1); });
    hung.start(20000);
    EXPECT_EQ(window_->run(), 0);
    EXPECT_TRUE(menuShown);
    EXPECT_EQ(heading, "Notes : site5.com");
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id IN ('site2.com', 'site5.com') "
                     "ORDER BY id"),
              (std::vector<std::string>{"notes 2", "notes 5 typed"}));
}

} // namespace
} // namespace qmk::test
