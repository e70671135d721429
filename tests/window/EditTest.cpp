// In-place editing as the cell editors hand values over: checks, status texts and storing.
#include "Fixture.h"

#include "dwin/database/sqlite/Base.h"
#include "dwin/net/Services.h"
#include "dwin/time/WallClock.h"
#include "qmk/Base.h"
#include "qmk/extends/CellEditorDelegate.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/RecordTableModel.h"
#include "qmk/tab/Listed_Urls.h"
#include "qmk/tab/Temp_Site.h"
#include "qmk/tab/Temp_Sites.h"
#include "qmk/UnreadReport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <sqlite3.h>

#include <ctime>
#include <functional>
#include <fstream>

namespace qmk::test {
namespace {

class Editing : public WindowTest {
protected:
    // Types into a cell's line editor and leaves it open (no Enter).
    QLineEdit* typeWithoutEnter(int tab, int row, const std::string& name, const char* text)
    {
        auto* editor = qobject_cast<QLineEdit*>(openEditor(tab, row, name));
        if (!editor)
            return nullptr;
        editor->selectAll();
        QTest::keyClicks(editor, text);
        return editor;
    }
    // Opens the cell's editor through the delegate, lets change() fill it, and commits it.
    template <class Editor, class Change>
    void editWithEditor(int tab, int row, const std::string& name, Change change)
    {
        QTableView* table = viewerAt(tab)->getTable();
        auto* delegate = qobject_cast<extends::CellEditorDelegate*>(table->itemDelegate());
        ASSERT_NE(delegate, nullptr);
        QModelIndex index = table->model()->index(row, columnIndex(tab, name));
        std::unique_ptr<QWidget> editor(
            delegate->createEditor(table->viewport(), QStyleOptionViewItem(), index));
        auto* typed = qobject_cast<Editor*>(editor.get());
        ASSERT_NE(typed, nullptr) << name;
        delegate->setEditorData(typed, index);
        change(typed);
        delegate->setModelData(typed, table->model(), index);
    }
};

TEST_F(Editing, NewSiteIsStoredOnceItsIdIsUsableAndAsItsHost)
{
    openWindow();
    selectTab(0);
    window_->addNewRecord();
    edit(0, 0, "pr", 4); // the combo box's index of "3"
    EXPECT_EQ(status(), "please set the value of id");
    EXPECT_EQ(viewerAt(0)->recordAt(0)->get("pr"), "3");
    EXPECT_TRUE(column("SELECT id FROM Shareware_Sites").empty());
    editWithEditor<QLineEdit>(0, 0, "id", [](QLineEdit* e) {
        EXPECT_EQ(e->text().toStdString(), "[Enter id]");
        e->setText("  HTTPS://www.New-Site.com/download/page.html ");
    });
    EXPECT_EQ(idsShown(0), std::vector<std::string>{"new-site.com"});
    EXPECT_EQ(column("SELECT id || ' ' || pr FROM Shareware_Sites"),
              std::vector<std::string>{"new-site.com 3"});
    EXPECT_EQ(status(), "1 rows inserted into Shareware_Sites");
}

TEST_F(Editing, RefusalsLeaveRecordAndDatabaseAlone)
{
    addSite("Shareware_Sites", "a.com", "1", "old");
    addSite("Shareware_Sites", "b.com", "2");
    addSite("Black_Sites", "bad.com");
    addSite("Temp_Sites", "t.com");
    addSite("Temp_Sites", "bad.com2");
    addProduct("P", "1");
    addSite("P", "a.com");
    openWindow();
    selectTab(0);
    const int a = rowOfId(0, "a.com");
    edit(0, a, "notes", QString("   "));
    EXPECT_EQ(status(), "modify property notes, new value is null");
    edit(0, a, "notes", QString(" old "));
    EXPECT_EQ(status(), "old not changed");
    edit(0, a, "backlink", -1);
    EXPECT_EQ(status(), "modify index -1 out of bounds, property backlink");
    edit(0, a, "backlink", 2);
    EXPECT_EQ(status(), "modify index 2 out of bounds, property backlink");
    edit(0, a, "id", QString("b.com"));
    EXPECT_EQ(status(), "Shareware_Sites already exists b.com");
    EXPECT_EQ(selectedRecord()->get("id"), "b.com");
    edit(0, rowOfId(0, "a.com"), "id", QString("bad.com"));
    EXPECT_EQ(status(), "Black_Sites bad.com already exists");
    edit(0, rowOfId(0, "a.com"), "id", QString("t.com"));
    EXPECT_EQ(status(), "Temp_Sites t.com already exists");
    // a black-listed row waiting under a placeholder still holds its id, in the window and file
    edit(2, 0, "id", QString("[z]"));
    edit(0, rowOfId(0, "a.com"), "id", QString("bad.com"));
    EXPECT_EQ(status(), "Black_Sites bad.com already exists");
    edit(3, rowOfId(3, "t.com"), "id", QString("bad.com"));
    EXPECT_EQ(status(), "Black_Sites bad.com already exists");
    EXPECT_FALSE(db_->updateFieldCascade("Shareware_Sites", "a.com", "id", "bad.com"));
    EXPECT_EQ(status(), "Shareware_Sites id bad.com exists");
    EXPECT_FALSE(db_->updateFieldCascade("Temp_Sites", "t.com", "id", "bad.com"));
    EXPECT_EQ(status(), "Temp_Sites id bad.com exists");
    EXPECT_FALSE(db_->updateFieldCascade("P", "a.com", "id", "bad.com")); // on to the catalogue
    EXPECT_EQ(status(), "P id bad.com exists");
    EXPECT_EQ(column("SELECT id FROM P"), std::vector<std::string>{"a.com"});
    EXPECT_EQ(column("SELECT id FROM Black_Sites UNION ALL SELECT id FROM Temp_Sites ORDER BY id"),
              (std::vector<std::string>{"bad.com", "bad.com2", "t.com"}));
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{"old"});
}

TEST_F(Editing, AnIdTypedAsTheAddressOfAKnownSiteIsRefused)
{
    addSite("Shareware_Sites", "a.com", "1", "first");
    addSite("Shareware_Sites", "b.com", "2");
    addSite("Black_Sites", "bad.com");
    openWindow();
    selectTab(0);
    edit(0, rowOfId(0, "b.com"), "id", QString("http://www.A.com/"));
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"b.com", "a.com"}));
    edit(0, rowOfId(0, "b.com"), "id", QString("www.bad.com"));
    EXPECT_EQ(status(), "Black_Sites bad.com already exists");
    // a new row typed as a known site stays unstored, so its later edits cannot reach a.com's row
    window_->addNewRecord();
    const int added = rowOfId(0, "[Enter id]");
    edit(0, added, "id", QString("www.a.com"));
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");
    edit(0, rowOfId(0, "[Enter id]"), "notes", QString("second"));
    EXPECT_EQ(status(), "please set the value of id");
    EXPECT_EQ(column("SELECT id || ' ' || notes FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com first", "b.com "}));
}

TEST_F(Editing, TempSiteIdInBothOtherTablesNamesTheCatalogue)
{
    addSite("Shareware_Sites", "dup.com");
    addSite("Black_Sites", "dup.com");
    addSite("Temp_Sites", "t.com");
    openWindow();
    edit(3, 0, "id", QString("dup.com"));
    EXPECT_EQ(status(), "Shareware_Sites dup.com already exists");
}

TEST_F(Editing, ComboBoxChoiceIsStoredAtOnce)
{
    addSite("Shareware_Sites", "a.com");
    openWindow();
    editWithEditor<QComboBox>(0, 0, "sub_method", [](QComboBox* combo) {
        EXPECT_FALSE(combo->isEditable());
        EXPECT_EQ(combo->count(), 4);
        EXPECT_EQ(combo->currentText().toStdString(), "pad");
        combo->setCurrentIndex(2);
    });
    EXPECT_EQ(viewerAt(0)->recordAt(0)->get("sub_method"), "email");
    EXPECT_EQ(column("SELECT sub_method FROM Shareware_Sites"), std::vector<std::string>{"email"});
    EXPECT_EQ(status(), "1 rows updated on Shareware_Sites, column: sub_method, new value: email");
}

TEST_F(Editing, AListEditorStoresAChoiceOnlyWhenConfirmed)
{
    addSite("Shareware_Sites", "a.com", "1");
    addSite("Shareware_Sites", "b.com", "10"); // a rank the list lacks
    addProduct("Tool", "1");
    addSite("Tool", "a.com", "1");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    QTableView* table = viewerAt(0)->getTable();
    const auto open = [&](const std::string& id, const std::string& name) {
        return qobject_cast<QComboBox*>(openEditor(0, rowOfId(0, id), name));
    };
    const auto isOpen = [&](QComboBox* combo) {
        return table->indexWidget(table->currentIndex()) == combo;
    };
    const auto inFile = [&](const std::string& name) {
        return column("SELECT " + name +
                      " FROM Shareware_Sites WHERE id='a.com' UNION ALL SELECT " + name +
                      " FROM Tool");
    };
    const std::vector<std::function<void(QComboBox*)>> steps = {
        [](QComboBox* combo) { QTest::keyClick(combo, Qt::Key_C); },
        [](QComboBox* combo) { QTest::keyClick(combo, Qt::Key_Down); },
        [](QComboBox* combo) {
            QWheelEvent notch(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(),
                              QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(combo, &notch);
        }};
    for (const auto& step : steps) {
        QComboBox* combo = open("a.com", "backlink");
        ASSERT_NE(combo, nullptr);
        step(combo);
        QApplication::processEvents();
        EXPECT_EQ(combo->currentText().toStdString(), "custom");
        EXPECT_TRUE(isOpen(combo));
        QTest::keyClick(combo, Qt::Key_Escape);
        QApplication::processEvents();
        EXPECT_EQ(inFile("backlink"), (std::vector<std::string>{"not", "not"}));
        EXPECT_EQ(viewAt(0)->getById("a.com")->get("backlink"), "not");
    }

    QComboBox* combo = open("a.com", "sub_method");
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_TRUE(isOpen(combo));
    EXPECT_EQ(inFile("sub_method"), (std::vector<std::string>{"pad", "pad"}));
    QTest::keyClick(combo, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(inFile("sub_method"), (std::vector<std::string>{"email", "email"}));
    EXPECT_EQ(status(), "1 rows updated on Tool, column: sub_method, new value: email");

    // an entry picked in the opened list is taken at once
    combo = open("a.com", "sort");
    ASSERT_NE(combo, nullptr);
    combo->showPopup();
    QApplication::processEvents();
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(inFile("sort"), (std::vector<std::string>{"date", "date"}));
    EXPECT_FALSE(isOpen(combo));

    combo = open("b.com", "pr");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText().toStdString(), "10");
    QTest::keyClick(combo, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(status(), "10 not changed");
    EXPECT_EQ(column("SELECT pr FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"10"});
}

TEST_F(Editing, TheMenuBarOrAnotherWindowConfirmsNoEdit)
{
    addSite("Shareware_Sites", "a.com", "1");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    const auto key = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* menu = QApplication::activePopupWidget();
        QTest::keyClick(menu ? menu : QApplication::focusWidget(), key, modifiers);
        QApplication::processEvents();
    };
    const auto file = [&](const std::string& name) {
        return column("SELECT " + name + " FROM Shareware_Sites");
    };
    // Alt alone: Escape gives the keys back from the menu bar to the choice, Escape drops it
    QWidget* combo = openEditor(0, 0, "backlink");
    key(Qt::Key_Down);
    key(Qt::Key_Alt);
    EXPECT_EQ(file("backlink"), std::vector<std::string>{"not"});
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), combo);
    key(Qt::Key_Escape);
    EXPECT_EQ(file("backlink"), std::vector<std::string>{"not"});

    // Alt, then a menu opened with Alt+E and left with Escape and Escape or Alt, or a click
    // outside: the keys are back in the editor, which goes on with its text; Escape drops it
    QLineEdit* typed = typeWithoutEnter(0, 0, "g_user", "abc");
    const auto clickOutside = [] {
        QWidget* menu = QApplication::activePopupWidget();
        QTest::mouseClick(menu, Qt::LeftButton, {}, QPoint(menu->width() + 50, menu->height()));
        QApplication::processEvents();
    };
    const std::vector<std::function<void()>> leaves = {
        [&] {
            key(Qt::Key_Escape);
            key(Qt::Key_Escape);
        },
        [&] {
            key(Qt::Key_Escape);
            key(Qt::Key_Alt);
        },
        clickOutside,
    };
    for (std::size_t way = 0; way < leaves.size(); ++way) {
        key(Qt::Key_Alt);
        key(Qt::Key_E, Qt::AltModifier);
        ASSERT_NE(QApplication::activePopupWidget(), nullptr);
        leaves[way]();
        EXPECT_EQ(QApplication::focusWidget(), typed) << way;
    }
    key(Qt::Key_D);
    EXPECT_EQ(typed->text(), "abcd");
    key(Qt::Key_Escape);
    EXPECT_EQ(file("g_user"), std::vector<std::string>{""});

    // another window in front and gone, the keys in the editor or the menu bar: back in the
    // editor, Enter stores the text
    QLineEdit* line = typeWithoutEnter(0, 0, "g_user", "me");
    QWidget other;
    other.show();
    for (const bool menuBar : {false, true}) {
        if (menuBar)
            key(Qt::Key_Alt);
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        EXPECT_EQ(QApplication::focusWidget(), line) << menuBar;
    }
    EXPECT_EQ(file("g_user"), std::vector<std::string>{""});
    key(Qt::Key_Return);
    EXPECT_EQ(file("g_user"), std::vector<std::string>{"me"});

    // a tab chosen while the menu bar has the keys is a click elsewhere
    typeWithoutEnter(0, 0, "g_user", "you");
    key(Qt::Key_Alt);
    selectTab(1);
    EXPECT_EQ(file("g_user"), std::vector<std::string>{"you"});
}

TEST_F(Editing, LineBreaksPastedIntoAOneLineCellBecomeTheBlanksItShows)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Tool", "a.com");
    exec("UPDATE Tool SET g_pass = 'x' || char(10) || 'y';"); // from an older file
    openWindow();
    selectTab(4);
    window_->activateWindow();
    const auto paste = [&](int tab, const std::string& name, const QString& text) {
        auto* editor = qobject_cast<QLineEdit*>(openEditor(tab, 0, name));
        if (!editor)
            return std::string("no editor");
        QApplication::clipboard()->setText(text);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        const std::string shown = editor->text().toStdString();
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        return shown;
    };
    EXPECT_EQ(paste(4, "username", "user one\nuser two\n"), "user one user two ");
    EXPECT_EQ(column("SELECT username FROM Tool"), std::vector<std::string>{"user one user two"});
    EXPECT_EQ(status(), "1 rows updated on Tool, column: username, new value: user one user two");

    auto* editor = qobject_cast<QLineEdit*>(openEditor(4, 0, "g_pass"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return); // left as it was: nothing written
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT hex(g_pass) FROM Tool"), std::vector<std::string>{"780A79"});

    selectTab(0);
    EXPECT_EQ(paste(0, "sub_page", "http://a.com/\r\nadd\r\rhere\u2028"),
              "http://a.com/ add  here ");
    EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites UNION ALL SELECT sub_page FROM Tool"),
              (std::vector<std::string>{"http://a.com/ add  here", "http://a.com/ add  here"}));
}

TEST_F(Editing, NotesCellHasAMultiLineEditor)
{
    addSite("Shareware_Sites", "a.com", "1", "line");
    openWindow();
    editWithEditor<QPlainTextEdit>(0, 0, "notes",
                                   [](QPlainTextEdit* e) { e->setPlainText("one\ntwo\n"); });
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"), std::vector<std::string>{"one\ntwo"});
}

TEST_F(Editing, RenamedProductTakesItsListingTableAlong)
{
    addProduct("Tool", "3");
    addProduct("Top", "5"); // ranks first: the renamed product's listing stays on show
    addSite("Tool", "a.com");
    openWindow();
    tab::Listed_Urls::switchActionFor("Tool")->trigger();
    edit(1, rowOfId(1, "Tool"), "id", QString("Tool 2"));
    EXPECT_EQ(window_->lastTabText(), "Tool 2");
    EXPECT_EQ(idsShown(4), std::vector<std::string>{"a.com"});
    EXPECT_EQ(column("SELECT id FROM \"Tool 2\""), std::vector<std::string>{"a.com"});
    EXPECT_EQ(column("SELECT id FROM Softwares ORDER BY id"),
              (std::vector<std::string>{"Tool 2", "Top"}));
    closeWindow();
    EXPECT_EQ(setting("last_listed_urls"), "Tool 2");
}

TEST_F(Editing, ARowRenamedThroughAPlaceholderStaysOneRow)
{
    addProduct("My Tool", "3");
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "c.com");
    addSite("My Tool", "a.com");
    openWindow();
    edit(1, 0, "id", QString("[bracket"));
    EXPECT_EQ(status(), "please set the value of id");
    edit(1, 0, "home", QString("http://tool.example/")); // stored in the row meanwhile
    edit(1, 0, "id", QString("My Tool 2"));
    edit(0, rowOfId(0, "a.com"), "id", QString("[later]"));
    edit(0, rowOfId(0, "[later]"), "id", QString("b.com"));
    edit(0, rowOfId(0, "c.com"), "id", QString("[gone]"));
    selectTab(0);
    viewerAt(0)->setSelection({rowOfId(0, "[gone]")});
    window_->removeSelectedRecord(); // the row stored as c.com goes
    const auto file = [this] {
        EXPECT_EQ(column("SELECT id || ' ' || home FROM Softwares"),
                  std::vector<std::string>{"My Tool 2 tool.example"});
        EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE name LIKE 'My Tool%'"),
                  std::vector<std::string>{"My Tool 2"});
        EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{"b.com"});
        EXPECT_EQ(column("SELECT id FROM \"My Tool 2\""), std::vector<std::string>{"b.com"});
    };
    file();
    EXPECT_EQ(window_->lastTabText(), "My Tool 2");
    EXPECT_EQ(window_->getTabFolder()->count(), 5);
    closeWindow();
    reopenDatabase();
    openWindow();
    file();
    EXPECT_EQ(idsShown(1), std::vector<std::string>{"My Tool 2"});
    EXPECT_EQ(window_->lastTabText(), "My Tool 2");
    EXPECT_EQ(window_->getTabFolder()->count(), 5);
}

TEST_F(Editing, ProductNamesWithQuotesWork)
{
    openWindow();
    selectTab(1);
    window_->addNewRecord();
    edit(1, 0, "id", QString("Bob's \"Tool\" & Co; DROP"));
    EXPECT_EQ(column("SELECT id FROM Softwares"),
              std::vector<std::string>{"Bob's \"Tool\" & Co; DROP"});
    EXPECT_EQ(window_->lastTabText(), "Bob's \"Tool\" & Co; DROP");
    EXPECT_EQ(window_->getTabFolder()->tabText(4).toStdString(), "Bob's \"Tool\" && Co; DROP");
    // a second product: the switch entry and the renamed tab follow the name
    selectTab(1);
    window_->addNewRecord();
    edit(1, rowOfId(1, "[Enter softname]"), "id", QString("Second"));
    edit(1, rowOfId(1, "Bob's \"Tool\" & Co; DROP"), "id", QString("Z&B")); // ranks first (id DESC)
    EXPECT_EQ(window_->lastTabText(), "Z&B");
    EXPECT_EQ(column("SELECT count(*) FROM \"Z&B\""), std::vector<std::string>{"0"});
}

TEST_F(Editing, AnEmptyProductIdIsRefusedWithItsReason)
{
    addProduct("Tool", "3");
    openWindow();
    selectTab(1);
    edit(1, rowOfId(1, "Tool"), "id", QString("  "));
    EXPECT_EQ(status(), "product id refused: the id is empty");
    window_->addNewRecord();
    edit(1, rowOfId(1, "[Enter softname]"), "id", QString(""));
    EXPECT_EQ(status(), "product id refused: the id is empty");
    EXPECT_EQ(column("SELECT id FROM Softwares"), std::vector<std::string>{"Tool"});
    EXPECT_EQ(column("SELECT count(*) FROM sqlite_master WHERE name = ''"),
              std::vector<std::string>{"0"});
    // Blanks of every script: an ideographic space (full-width input) or no-break spaces alone
    // are no id, and around an id or a value they are trimmed.
    const QString ideographic = QString::fromUtf8("\u3000"), noBreak = QString::fromUtf8("\u00a0");
    edit(1, rowOfId(1, "Tool"), "id", ideographic + noBreak + QString::fromUtf8("\u202f"));
    EXPECT_EQ(status(), "product id refused: the id is empty");
    edit(1, rowOfId(1, "Tool"), "id", ideographic + "Tool 2" + noBreak);
    edit(1, rowOfId(1, "Tool 2"), "home", noBreak + "http://tool.example/" + ideographic);
    EXPECT_EQ(column("SELECT id || '|' || home FROM Softwares"),
              std::vector<std::string>{"Tool 2|tool.example"});
    EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE name LIKE 'Tool%'"),
              std::vector<std::string>{"Tool 2"});
}

TEST_F(Editing, IdBackToAPlaceholderIsNotStored)
{
    addSite("Shareware_Sites", "a.com");
    openWindow();
    edit(0, 0, "id", QString("[later]"));
    EXPECT_EQ(status(), "please set the value of id");
    EXPECT_EQ(idsShown(0), std::vector<std::string>{"[later]"});
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{"a.com"});
}

TEST_F(Editing, MissingPadAndExeFilesAreRefused)
{
    addProduct("Tool", "1");
    openWindow();
    edit(1, 0, "pad_locale", QString("/no/such/pad.xml"));
    EXPECT_EQ(status(), "pad file /no/such/pad.xml not exists");
    edit(1, 0, "exe_locale", QString("/no/such/tool.exe"));
    EXPECT_EQ(status(), "/no/such/tool.exe not exists");
    const std::string pad = dir_.path().toStdString() + "/pad.xml";
    std::ofstream(pad) << "<Program_Version>2.1</Program_Version>";
    edit(1, 0, "pad_locale", QString::fromStdString(pad));
    EXPECT_EQ(column("SELECT pad_locale FROM Softwares"), std::vector<std::string>{pad});
}

TEST_F(Editing, TodayAndVersionShortcutsRunTheirCommandsOnly)
{
    addProduct("Tool", "1");
    addSite("Tool", "a.com");
    openWindow();
    using extends::Command;
    QAction* ownToday = extends::Commands::find(Command::TodayAction);
    QAction* ownVersion = extends::Commands::find(Command::VersionAction);
    QAction other; // not a stamp: the letters are not stored either
    extends::Commands::registerAction(Command::TodayAction, &other);
    extends::Commands::unregisterAction(Command::VersionAction);
    edit(4, 0, "sub_date", QString("t"));
    edit(4, 0, "version", QString(" v "));
    EXPECT_EQ(viewerAt(4)->recordAt(0)->get("sub_date"), "");
    EXPECT_EQ(column("SELECT sub_date || version FROM Tool"), std::vector<std::string>{""});
    extends::Commands::registerAction(Command::TodayAction, ownToday);
    extends::Commands::registerAction(Command::VersionAction, ownVersion);
    // the command's refusal is what the user reads, not a write of the value the row had
    viewerAt(4)->setSelection({0});
    edit(4, 0, "version", QString("v"));
    EXPECT_EQ(status(), " version for Tool not setted");
}

TEST_F(Editing, ADateOrVersionTypedIntoACellStampsTheRowOfThatCell)
{
    addProduct("Tool", "1");
    for (int i = 1; i <= 6; ++i)
        addSite("Tool", "r" + std::to_string(i) + ".com", std::to_string(10 - i));
    exec("UPDATE Tool SET sub_date='[Enter Date]', version='[Enter Version]';");
    const std::string pad = dir_.path().toStdString() + "/pad.xml";
    std::ofstream(pad) << "<Program_Version>2.1</Program_Version>";
    exec("UPDATE Softwares SET pad_locale='" + pad + "';");
    openWindow();
    selectTab(4);
    window_->activateWindow();
    extends::Commands::find(extends::Command::TodayAction)->setEnabled(false); // menus only
    QTableView* table = viewerAt(4)->getTable();
    // r2 clicked, r6 added with Ctrl in the column's cell, F2, the letter, Enter
    auto typeIntoSecondOfTwo = [&](const std::string& name, const char* letter) {
        table->clearSelection();
        clickRow(4, rowOfId(4, "r2.com"));
        const QModelIndex cell = table->model()->index(rowOfId(4, "r6.com"), columnIndex(4, name));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          table->visualRect(cell).center());
        ASSERT_EQ(viewerAt(4)->selectedRecords().size(), 2u);
        QTest::keyClick(table, Qt::Key_F2);
        auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(cell));
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, letter);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    };
    const std::string today = dwin::time::WallClock::today(std::time(nullptr), true);
    typeIntoSecondOfTwo("sub_date", "t");
    EXPECT_EQ(column("SELECT id || ' ' || sub_date FROM Tool WHERE id IN ('r2.com', 'r6.com') "
                     "ORDER BY id"),
              (std::vector<std::string>{"r2.com [Enter Date]", "r6.com " + today}));
    EXPECT_EQ(viewAt(4)->getById("r2.com")->get("sub_date"), "[Enter Date]");
    typeIntoSecondOfTwo("version", "v");
    EXPECT_EQ(column("SELECT id || ' ' || version FROM Tool WHERE id IN ('r2.com', 'r6.com') "
                     "ORDER BY id"),
              (std::vector<std::string>{"r2.com [Enter Version]", "r6.com 2.1"}));
    EXPECT_EQ(viewAt(4)->getById("r6.com")->get("version"), "2.1");
}

TEST_F(Editing, ListedUrlFromTheDownloadSiteIsStoredDecoded)
{
    addProduct("Tool", "1");
    addSite("Tool", "a.com");
    openWindow();
    const std::string domain = dwin::net::downloadSiteDomain();
    edit(4, 0, "listed_url",
         QString::fromStdString("https://" + domain + "/c.php%5Bid%5D[cid]7[SiteID]" + domain));
    EXPECT_EQ(column("SELECT listed_url FROM Tool"),
              std::vector<std::string>{"https://" + domain + "/c.php[id][cid]7"});
}

TEST_F(Editing, AnOpenEditIsKeptWhenAHeaderIsClicked)
{
    addSite("Shareware_Sites", "b.com", "1", "");
    addSite("Shareware_Sites", "a.com", "2", "");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    QTableView* table = viewerAt(0)->getTable();
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "b.com"), "sub_page", "http://b.com/add"), nullptr);
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(columnIndex(0, "id")) + 5, header->height() / 2));
    QApplication::processEvents();
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"a.com", "b.com"}));
    EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites WHERE id='b.com'"),
              std::vector<std::string>{"http://b.com/add"});
    EXPECT_EQ(viewAt(0)->getById("b.com")->get("sub_page"), "http://b.com/add");
}

TEST_F(Editing, AnOpenEditIsKeptWhenTheTableIsReadAgain)
{
    addSite("Shareware_Sites", "a.com", "1", "");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    ASSERT_NE(typeWithoutEnter(0, 0, "sub_page", "http://a.com/add"), nullptr);
    window_->addNewRecord(); // the tool bar's Add leaves the focus in the cell editor
    QApplication::processEvents();
    EXPECT_EQ(idsShown(0), (std::vector<std::string>{"a.com", "[Enter id]"}));
    EXPECT_EQ(viewAt(0)->getById("a.com")->get("sub_page"), "http://a.com/add");
    EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites"),
              std::vector<std::string>{"http://a.com/add"});
}

TEST_F(Editing, AnOpenEditAndTheSelectionStayWhileOtherRowsAreStoredAddedAndRemoved)
{
    addSite("Temp_Sites", "b.com", "1");
    addSite("Temp_Sites", "d.com", "5");
    addSite("Temp_Sites", "f.com", "7");
    openWindow();
    selectTab(3);
    window_->activateWindow();
    QTableView* table = viewerAt(3)->getTable();
    table->horizontalHeader()->sectionClicked(columnIndex(3, "pr")); // sorted by pr
    QPointer<QLineEdit> editor =
        typeWithoutEnter(3, rowOfId(3, "d.com"), "sub_page", "http://d.com/add");
    ASSERT_NE(editor, nullptr);
    table->selectionModel()->select(table->model()->index(rowOfId(3, "f.com"), 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
    const auto stays = [&](const char* step) {
        QApplication::processEvents();
        const QModelIndex cell =
            table->model()->index(rowOfId(3, "d.com"), columnIndex(3, "sub_page"));
        ASSERT_NE(editor, nullptr) << step;
        EXPECT_EQ(table->indexWidget(cell), editor.data()) << step;
        EXPECT_EQ(table->currentIndex(), cell) << step;
        EXPECT_EQ(editor->text().toStdString(), "http://d.com/add") << step;
        std::vector<std::string> selected;
        for (const base::RecordPtr& record : viewerAt(3)->selectedRecords())
            selected.push_back(record->get("id").value_or(""));
        EXPECT_EQ(selected, (std::vector<std::string>{"d.com", "f.com"})) << step;
    };
    edit(3, rowOfId(3, "b.com"), "pr", 10); // "9": its row moves past the edited one
    EXPECT_EQ(idsShown(3), (std::vector<std::string>{"d.com", "f.com", "b.com"}));
    EXPECT_EQ(column("SELECT pr FROM Temp_Sites WHERE id='b.com'"), std::vector<std::string>{"9"});
    stays("a store in another row");
    ASSERT_NE(editor, nullptr);
    auto added = std::make_shared<tab::Temp_Site>();
    added->set("id", "c.com");
    added->set("pr", "3");
    ASSERT_TRUE(tab::Temp_Sites::addAllAndStore({added}, true));
    EXPECT_EQ(idsShown(3), (std::vector<std::string>{"c.com", "d.com", "f.com", "b.com"}));
    stays("an insert above it");
    viewAt(3)->removeById("c.com");
    stays("a removal above it");
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(column("SELECT id FROM Temp_Sites ORDER BY id"),
              (std::vector<std::string>{"b.com", "d.com", "f.com"}));

    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT sub_page FROM Temp_Sites WHERE id='d.com'"),
              std::vector<std::string>{"http://d.com/add"});
}

TEST_F(Editing, APressActsOnTheRowUnderThePointerWhenTheEditItStoresMovesRows)
{
    char id[16], page[32];
    for (int i = 0; i < 100; ++i) {
        std::snprintf(id, sizeof id, "s%03d.com", i);
        std::snprintf(page, sizeof page, "http://p%03d", i);
        exec(std::string("INSERT INTO Shareware_Sites (id, sub_page) VALUES ('") + id + "', '" +
             page + "');");
    }
    addProduct("Tool", "1");
    exec("INSERT INTO Tool (id) SELECT id FROM Shareware_Sites;");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QTableView* table = viewerAt(0)->getTable();
    table->horizontalHeader()->sectionClicked(columnIndex(0, "sub_page"));
    const auto rowCenter = [&](int row) {
        return table->visualRect(table->model()->index(row, 0)).center();
    };
    const auto remaining = [&](const char* table) {
        return column(std::string("SELECT count(*) FROM ") + table +
                      " WHERE id IN ('s001.com', 's002.com', 's005.com')")
            .front();
    };

    // Row 5's page edited to sort first, then a right press on row 2: the edit is stored by the
    // press, and the press picks s001, the row under the pointer.
    ASSERT_NE(typeWithoutEnter(0, 4, "sub_page", "http://a1"), nullptr);
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, rowCenter(1));
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, rowCenter(1));
    const auto movedToTheTop = [&](const char* id) {
        return QTest::qWaitFor([&] { return idsShown(0).front() == id; }, 2000);
    };
    EXPECT_TRUE(movedToTheTop("s004.com")); // once the click is over
    EXPECT_EQ(selectedRecord()->get("id"), "s001.com");
    emit viewAt(0)->menuManager()->aboutToShow();
    extends::Commands::find(extends::Command::RemoveAction)->trigger();
    EXPECT_EQ(column("SELECT sub_page FROM Shareware_Sites WHERE id = 's004.com'"),
              std::vector<std::string>{"http://a1"});
    EXPECT_EQ(remaining("Shareware_Sites"), "2");
    EXPECT_EQ(remaining("Tool"), "2");

    // The same with a left click and Ctrl+X: s002.com is the row under the pointer.
    ASSERT_EQ(idsShown(0)[2], "s002.com");
    ASSERT_NE(typeWithoutEnter(0, 4, "sub_page", "http://a0"), nullptr);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowCenter(2));
    EXPECT_TRUE(movedToTheTop("s005.com"));
    QTest::keyClick(table, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(remaining("Shareware_Sites"), "1");
    EXPECT_EQ(remaining("Tool"), "1");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites WHERE sub_page LIKE 'http://a%' ORDER BY "
                     "sub_page"),
              (std::vector<std::string>{"s005.com", "s004.com"}));

    // An edit committed with Enter far down the table: its row moves to the top, in sight.
    const int last = viewerAt(0)->rowCount() - 1;
    table->scrollToBottom();
    QLineEdit* editor = typeWithoutEnter(0, last, "sub_page", "http://a");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return table->currentIndex().row() == 0; }, 2000));
    EXPECT_TRUE(table->viewport()->rect().contains(table->visualRect(table->currentIndex())));
}

TEST_F(Editing, TabMovesToTheNextCellsEditorAfterStoring)
{
    addSite("Shareware_Sites", "a.com", "1", "");
    addSite("Shareware_Sites", "b.com", "1", "");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    QTableView* table = viewerAt(0)->getTable();
    QLineEdit* editor = typeWithoutEnter(0, rowOfId(0, "a.com"), "g_user", "bob");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT g_user FROM Shareware_Sites WHERE id = 'a.com'"),
              std::vector<std::string>{"bob"});
    EXPECT_EQ(status(), "1 rows updated on Shareware_Sites, column: g_user, new value: bob");
    const QModelIndex next = table->model()->index(rowOfId(0, "a.com"), columnIndex(0, "g_pass"));
    EXPECT_EQ(table->currentIndex(), next);
    auto* nextEditor = qobject_cast<QLineEdit*>(table->indexWidget(next));
    ASSERT_NE(nextEditor, nullptr); // still open for typing
    nextEditor->selectAll();
    QTest::keyClicks(nextEditor, "secret");
    QTest::keyClick(nextEditor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT g_pass FROM Shareware_Sites WHERE id = 'a.com'"),
              std::vector<std::string>{"secret"});

    // from the last cell of a row to the first cell of the next; on the last row the edit ends
    const auto tabFromNotes = [&](const std::string& id) {
        auto* notes = qobject_cast<QPlainTextEdit*>(openEditor(0, rowOfId(0, id), "notes"));
        ASSERT_NE(notes, nullptr);
        notes->selectAll();
        QTest::keyClicks(notes, ("on " + id).c_str());
        QTest::keyClick(notes, Qt::Key_Tab);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    const std::string first = idsShown(0).front();
    tabFromNotes(first);
    EXPECT_EQ(table->currentIndex(), table->model()->index(1, 0));
    auto* idEditor = qobject_cast<QLineEdit*>(table->indexWidget(table->currentIndex()));
    ASSERT_NE(idEditor, nullptr);
    EXPECT_EQ(QApplication::focusWidget(), idEditor);
    QTest::keyClicks(idEditor, "c.com");
    QTest::keyClick(idEditor, Qt::Key_Return);
    QApplication::processEvents();
    tabFromNotes("c.com");
    EXPECT_EQ(table->currentIndex().row(), rowOfId(0, "c.com"));
    EXPECT_EQ(table->indexWidget(table->currentIndex()), nullptr);
    EXPECT_EQ(QApplication::focusWidget(), table);
    EXPECT_EQ(column("SELECT id || ' ' || notes FROM Shareware_Sites ORDER BY id = 'c.com'"),
              (std::vector<std::string>{first + " on " + first, "c.com on c.com"}));

    // in a new row, before its id: the row keeps each value and Tab goes on
    window_->addNewRecord();
    editor = typeWithoutEnter(0, rowOfId(0, "[Enter id]"), "g_user", "early");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    QApplication::processEvents();
    auto* password = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(password, nullptr);
    QTest::keyClicks(password, "pw");
    QTest::keyClick(password, Qt::Key_Return);
    QApplication::processEvents();
    edit(0, rowOfId(0, "[Enter id]"), "id", QString("new.com"));
    EXPECT_EQ(column("SELECT g_user || ' ' || g_pass FROM Shareware_Sites WHERE id = 'new.com'"),
              std::vector<std::string>{"early pw"});
}

TEST_F(Editing, AnOpenEditIsStoredBeforeTheWindowCloses)
{
    addSite("Shareware_Sites", "a.com", "1", "");
    addSite("Shareware_Sites", "b.com", "1", "");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    // another program holds the file: the window stays open to say the edit was not stored
    db_->getConnection().setBusyTimeout(100);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "a.com"), "sub_page", "http://a.com/add"), nullptr);
    closeWindow();
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(status(), "sub_page of row a.com in Shareware_Sites not stored: database is locked");
    // so does an edit refused
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "b.com"), "id", "a.com"), nullptr);
    closeWindow();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");

    QTest::qWait(int(UnreadReport::readTime.count()) + 100); // the failure read
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "a.com"), "sub_page", "http://a.com/add"), nullptr);
    closeWindow();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(column("SELECT id || ' ' || sub_page FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com http://a.com/add", "b.com [Enter page]"}));
}

TEST_F(Editing, TabOpensTheNextEditorOnlyInTheShownTableAfterAStoredEdit)
{
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com", "10");
    addSite("Shareware_Sites", "b.com", "10");
    addSite("Tool", "a.com", "10");
    setSetting("last_listed_urls", "Tool");
    openWindow();
    window_->activateWindow();
    const auto editing = [this](int tab) {
        QTableView* table = viewerAt(tab)->getTable();
        return table->indexWidget(table->currentIndex()) != nullptr;
    };
    const std::string homes = "SELECT id || ' ' || home || ' ' || notes FROM Softwares";
    const std::vector<std::string> before = column(homes);
    // a rename that brings the product's listing forward: the keys go to that listing
    for (const auto key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        selectTab(1);
        QLineEdit* editor = typeWithoutEnter(1, 0, "id", key == Qt::Key_Tab ? "Tool2" : "Tool");
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, key);
        QApplication::processEvents();
        QWidget* focus = QApplication::focusWidget();
        EXPECT_EQ(focus, viewerAt(window_->getTabFolder()->currentIndex())->getTable());
        EXPECT_FALSE(editing(1));
        if (focus) {
            QTest::keyClicks(focus, "zz");
            QTest::keyClick(focus, Qt::Key_Return);
            QApplication::processEvents();
        }
    }
    EXPECT_EQ(column(homes), before);

    // a refused id: the editor closes, the other row is selected, the refusal stays
    selectTab(0);
    QLineEdit* editor = typeWithoutEnter(0, rowOfId(0, "b.com"), "id", "a.com");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Tab);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_FALSE(editing(0));
    EXPECT_EQ(QApplication::focusWidget(), viewerAt(0)->getTable());
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "a.com");
    EXPECT_EQ(column("SELECT pr FROM Shareware_Sites UNION ALL SELECT pr FROM Tool"),
              std::vector<std::string>(3, "10"));
}

TEST_F(Editing, AnEditEndedByATabSwitchKeepsItsRefusalOnTheStatusLine)
{
    addSite("Shareware_Sites", "a.com");
    addSite("Shareware_Sites", "b.com");
    addSite("Black_Sites", "black.com");
    openWindow();
    window_->activateWindow();
    selectTab(0);
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "b.com"), "id", "a.com"), nullptr);
    QTest::mouseClick(window_->getTabFolder()->tabBar(), Qt::LeftButton, {},
                      window_->getTabFolder()->tabBar()->tabRect(2).center());
    QApplication::processEvents();
    EXPECT_EQ(window_->getTabFolder()->currentIndex(), 2);
    EXPECT_EQ(status(), "Shareware_Sites already exists a.com");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com"}));
    // an edit stored by the switch, and a switch with none: the tab's total
    selectTab(0);
    ASSERT_NE(typeWithoutEnter(0, rowOfId(0, "b.com"), "id", "c.com"), nullptr);
    selectTab(2);
    EXPECT_EQ(status(), "Black_Sites,  total: 1");
    selectTab(0);
    EXPECT_EQ(status(), "Shareware_Sites,  total: 2");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "c.com"}));
}

TEST_F(Editing, AClickOnTheSelectedCellOpensItsEditorOnlyWhileTheTableKeepsTheFocus)
{
    addSite("Shareware_Sites", "a.com", "1", "note");
    openWindow();
    window_->activateWindow();
    selectTab(0);
    QTableView* table = viewerAt(0)->getTable();
    const QPoint cell = table->visualRect(table->model()->index(0, 0)).center();
    const int interval = QApplication::doubleClickInterval();
    const auto editing = [table] { return table->indexWidget(table->currentIndex()) != nullptr; };
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::qWait(interval + 50);
    // a second click on the selected cell, then at once into the notes box: the keys stay there
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseClick(window_->notesText(), Qt::LeftButton);
    QTest::qWait(interval + 100);
    EXPECT_FALSE(editing());
    EXPECT_EQ(QApplication::focusWidget(), window_->notesText());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), "more");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(column("SELECT id || ' ' || notes FROM Shareware_Sites"),
              std::vector<std::string>{"a.com notemore"});
    // left in the table, a click on the selected cell opens its editor
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell);
    QTest::qWait(interval + 100);
    EXPECT_TRUE(editing());
}

TEST_F(Editing, TypingIntoTheTableAsAUserStoresTheRow)
{
    addSite("Shareware_Sites", "a.com", "1", "");
    addProduct("Tool", "1");
    addProduct("Other", "2");
    setSetting("last_listed_urls", "Tool");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    QTableView* table = viewerAt(0)->getTable();
    QModelIndex cell = table->model()->index(0, 0);
    table->setCurrentIndex(cell);
    table->edit(cell);
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "www.typed.com");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the editor commits
    QApplication::processEvents(); // the edited row is drawn again
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites"), std::vector<std::string>{"typed.com"});
    EXPECT_EQ(idsShown(0), std::vector<std::string>{"typed.com"});
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "typed.com"); // the row stays selected

    QModelIndex backlink = table->model()->index(0, 2);
    table->setCurrentIndex(backlink);
    table->edit(backlink);
    QApplication::processEvents();
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT backlink FROM Shareware_Sites"), std::vector<std::string>{"custom"});

    // a site added in the shown listing keeps its row while its cells are filled with Tab
    selectTab(4);
    table = viewerAt(4)->getTable();
    QTest::keyClick(table, Qt::Key_B, Qt::ControlModifier);
    QApplication::processEvents();
    const auto typeAndLeave = [](const char* text, Qt::Key key) {
        QApplication::processEvents();
        auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(field, nullptr) << text;
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, key);
        QApplication::processEvents();
    };
    ASSERT_NE(openEditor(4, rowOfId(4, "[Enter id]"), "id"), nullptr);
    typeAndLeave("listing-new.example.com", Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // past the pr cell
    typeAndLeave("http://listing-new.example.com/tool", Qt::Key_Tab);
    typeAndLeave("me", Qt::Key_Return);
    EXPECT_EQ(column("SELECT id || ' ' || listed_url || ' ' || username FROM Tool"),
              std::vector<std::string>{"listing-new.example.com "
                                       "http://listing-new.example.com/tool me"});
    EXPECT_EQ(column("SELECT listed_url || ' ' || username FROM Other"),
              std::vector<std::string>{"[Enter listed url] [Enter Username]"});
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"listing-new.example.com", "typed.com"}));
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "listing-new.example.com");
    EXPECT_EQ(table->currentIndex().row(), rowOfId(4, "listing-new.example.com"));
}

TEST_F(Editing, TheFirstProductsIdTypedAsAUserOpensItsListingTabAndClosesTheEditorOnce)
{
    openWindow();
    selectTab(1);
    window_->activateWindow();
    window_->addNewRecord();
    QTableView* table = viewerAt(1)->getTable();
    QModelIndex cell = table->model()->index(0, columnIndex(1, "id"));
    table->setCurrentIndex(cell);
    table->edit(cell);
    QApplication::processEvents();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    static std::vector<std::string> warnings;
    warnings.clear();
    QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                warnings.push_back(text.toStdString());
        });
    editor->selectAll();
    QTest::keyClicks(editor, "WidgetPro");
    QTest::keyClick(editor, Qt::Key_Return); // the new product's listing tab takes the focus
    QApplication::processEvents();
    QApplication::processEvents();
    qInstallMessageHandler(previous);
    EXPECT_EQ(column("SELECT id FROM Softwares"), std::vector<std::string>{"WidgetPro"});
    auto* folder = window_->findChild<QTabWidget*>();
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->tabText(folder->count() - 1).toStdString(), "WidgetPro");
    for (const std::string& warning : warnings)
        EXPECT_EQ(warning.find("closeEditor"), std::string::npos) << warning;
}

} // namespace
} // namespace qmk::test
