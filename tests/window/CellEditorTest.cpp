// The cell editors as a user drives them: keys in the open editor, warnings of the view, and a
// cell holding megabytes of text.
#include "Fixture.h"

#include "qmk/Base.h"
#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace qmk::test {
namespace {

// Qt's warnings while it lives.
class WarningLog {
public:
    WarningLog()
    {
        lines().clear();
        previous_ = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& text) {
                if (type == QtWarningMsg)
                    lines().push_back(text.toStdString());
            });
    }
    ~WarningLog() { qInstallMessageHandler(previous_); }
    static std::vector<std::string>& lines()
    {
        static std::vector<std::string> seen;
        return seen;
    }

private:
    QtMessageHandler previous_;
};

using CellEditors = WindowTest;

TEST_F(CellEditors, ARefusedIdTypedAndEnteredClosesItsEditorWithoutWarnings)
{
    addSite("Shareware_Sites", "a.com", "1", "");
    addSite("Shareware_Sites", "b.com", "2", "");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    WarningLog warnings;
    auto* editor = qobject_cast<QLineEdit*>(openEditor(0, rowOfId(0, "a.com"), "id"));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "b.com");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(status(), "Shareware_Sites already exists b.com");
    ASSERT_NE(selectedRecord(), nullptr);
    EXPECT_EQ(selectedRecord()->get("id"), "b.com");
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com"}));
    for (const std::string& line : WarningLog::lines())
        EXPECT_EQ(line.find("closeEditor"), std::string::npos) << line;
}

TEST_F(CellEditors, NotesEditorAddsLinesWithEnterAndStoresWithCtrlEnter)
{
    addSite("Shareware_Sites", "a.com", "1", "old");
    addSite("Shareware_Sites", "b.com", "1", "[Enter notes]");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    WarningLog warnings;
    QTableView* table = viewerAt(0)->getTable();
    const std::string notesOfA = "SELECT notes FROM Shareware_Sites WHERE id = 'a.com'";
    // opened with its text selected: typing replaces it
    auto* editor = qobject_cast<QPlainTextEdit*>(openEditor(0, rowOfId(0, "a.com"), "notes"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "first");
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "second");
    QTest::keyClick(editor, Qt::Key_Enter);
    QTest::keyClicks(editor, "third");
    QApplication::processEvents();
    EXPECT_EQ(table->indexWidget(table->currentIndex()), editor); // still open
    EXPECT_EQ(column(notesOfA), std::vector<std::string>{"old"});
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(column(notesOfA), std::vector<std::string>{"first\nsecond\nthird"});
    EXPECT_EQ(table->indexWidget(table->currentIndex()), nullptr); // closed
    EXPECT_EQ(viewAt(0)->getById("a.com")->get("notes"), "first\nsecond\nthird");

    // opened with F2: Home goes to the start of the last line; a placeholder is typed over
    const auto typeAfterF2 = [&](const std::string& id, Qt::Key move, const char* typed) {
        table->setCurrentIndex(table->model()->index(rowOfId(0, id), columnIndex(0, "notes")));
        QTest::keyClick(table, Qt::Key_F2);
        auto* box = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
        ASSERT_NE(box, nullptr);
        if (move != Qt::Key_unknown)
            QTest::keyClick(box, move);
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    typeAfterF2("a.com", Qt::Key_Home, "3 ");
    typeAfterF2("b.com", Qt::Key_unknown, "called them");
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"first\nsecond\n3 third", "called them"}));
    EXPECT_TRUE(WarningLog::lines().empty()) << WarningLog::lines().front();
}

TEST_F(CellEditors, NotesEditorHandsOverNoBreakSpacesAndCrLfLineBreaksAsStored)
{
    addListedSiteWithNotes("a.com", "'a' || char(160) || 'b' || char(13, 10) || 'c'");
    openWindow();
    selectTab(0);
    window_->activateWindow();
    auto storeWithCtrlEnter = [&](const char* typed,
                                  Qt::KeyboardModifiers lineBreak = Qt::NoModifier) {
        auto* editor = qobject_cast<QPlainTextEdit*>(openEditor(0, 0, "notes"));
        ASSERT_NE(editor, nullptr);
        editor->moveCursor(QTextCursor::End);
        if (*typed) {
            QTest::keyClick(editor, Qt::Key_Return, lineBreak);
            QTest::keyClicks(editor, typed);
        }
        QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
        QApplication::processEvents();
        QApplication::processEvents();
    };
    storeWithCtrlEnter("");
    EXPECT_EQ(status(), "a\u00a0b\r\nc not changed");
    const std::string stored = "61C2A0620D0A63";
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites"), std::vector<std::string>{stored});
    storeWithCtrlEnter("d");
    EXPECT_EQ(column("SELECT hex(notes) FROM Shareware_Sites"),
              std::vector<std::string>{stored + "0D0A64"});
    EXPECT_EQ(column("SELECT hex(notes) FROM Tool"), std::vector<std::string>{stored + "0D0A64"});
    storeWithCtrlEnter("e", Qt::ShiftModifier);
    EXPECT_EQ(
        column("SELECT hex(notes) FROM Shareware_Sites UNION ALL SELECT hex(notes) FROM Tool"),
        std::vector<std::string>(2, stored + "0D0A64" + "0D0A65"));
}

TEST_F(CellEditors, ACellOfMegabytesShowsItsStartAndIsEditedAndStoredWhole)
{
    std::string big;
    while (big.size() < 4 * 1024 * 1024)
        big += "line of pasted notes \xC3\xA9\xE2\x82\xAC\n";
    big += "end";
    addSite("Shareware_Sites", "a.com", "1", big);
    openWindow();
    selectTab(0);
    window_->activateWindow();
    QTableView* table = viewerAt(0)->getTable();
    const QModelIndex cell = table->model()->index(0, columnIndex(0, "notes"));
    const QString shown = cell.data(Qt::DisplayRole).toString();
    EXPECT_LE(shown.toUtf8().size(), 1024 + 3);
    EXPECT_TRUE(shown.endsWith(QChar(0x2026)));
    EXPECT_TRUE(QString::fromStdString(big).startsWith(shown.chopped(1))); // cut between characters
    EXPECT_EQ(cell.data(Qt::EditRole).toString().toStdString(), big);

    auto* editor = qobject_cast<QPlainTextEdit*>(openEditor(0, 0, "notes"));
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText().toStdString(), big);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, " more");
    QTest::keyClick(editor, Qt::Key_Enter, Qt::ControlModifier);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"), std::vector<std::string>{big + " more"});
    EXPECT_EQ(viewAt(0)->getById("a.com")->get("notes"), big + " more");
    EXPECT_LE(status().size(), 1024u + 3);
    EXPECT_EQ(
        status().rfind(
            "1 rows updated on Shareware_Sites, column: notes, new value: line of pasted notes", 0),
        0u)
        << status().substr(0, 200);
}

TEST_F(CellEditors, AOneLineValueOfAnyLengthIsEditedAndStoredWhole)
{
    const std::string value = "http://a.com/" + std::string(39983, 'p');
    addProduct("Tool", "1");
    addSite("Shareware_Sites", "a.com");
    addSite("Tool", "a.com");
    exec("UPDATE Shareware_Sites SET sub_page='" + value + "';");
    openWindow();
    auto* editor = qobject_cast<QLineEdit*>(openEditor(0, 0, "sub_page"));
    ASSERT_NE(editor, nullptr);
    editor->setCursorPosition(4);
    QTest::keyClicks(editor, "s");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT length(sub_page) || substr(sub_page, 1, 8) FROM Shareware_Sites UNION "
                     "ALL SELECT length(sub_page) || substr(sub_page, 1, 8) FROM Tool"),
              (std::vector<std::string>{"39997https://", "39997https://"}));
}

TEST_F(CellEditors, AProductRenamedInItsCellBringsItsTabWithoutWarnings)
{
    addProduct("Tool", "3");
    openWindow();
    const int products = [&] {
        for (int tab = 0; tab < window_->getTabFolder()->count(); ++tab)
            if (viewAt(tab) && viewAt(tab)->name == "Softwares")
                return tab;
        return -1;
    }();
    ASSERT_GE(products, 0);
    selectTab(products);
    window_->activateWindow();
    WarningLog warnings;
    auto* editor = qobject_cast<QLineEdit*>(openEditor(products, 0, "id"));
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "Tool 2");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(column("SELECT id FROM Softwares"), std::vector<std::string>{"Tool 2"});
    EXPECT_EQ(column("SELECT name FROM sqlite_master WHERE name LIKE 'Tool%'"),
              std::vector<std::string>{"Tool 2"});
    EXPECT_EQ(status().rfind("table name Tool changed to Tool 2 at ", 0), 0u) << status();
    for (const std::string& line : WarningLog::lines())
        ADD_FAILURE() << line;
}

} // namespace
} // namespace qmk::test
