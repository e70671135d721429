// The notes pane: a click shows a record's notes, Enter saves them.
#include "Fixture.h"

#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

namespace qmk::test {
namespace {

using Notes = WindowTest;

TEST_F(Notes, EnterBeforeAnyClickDoesNothing)
{
    addSite("Shareware_Sites", "a.com", "1", "keep");
    openWindow();
    QTest::keyClick(window_->notesText(), Qt::Key_Return);
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites"), std::vector<std::string>{"keep"});
    EXPECT_EQ(status(), "");
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

} // namespace
} // namespace qmk::test
