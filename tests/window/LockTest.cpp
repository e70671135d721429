// The window while another program holds the database file locked: nothing the user does is
// shown as kept unless the file holds it, and the same edit made after the lock is stored.
#include "Fixture.h"

#include "dwin/database/sqlite/Base.h"
#include "qmk/EndSignals.h"
#include "qmk/MessageDialog.h"
#include "qmk/Report.h"
#include "qmk/UnreadReport.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/RecordTableModel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <sqlite3.h>

#include <csignal>
#include <functional>
#include <utility>

namespace qmk::test {
namespace {

class Locked : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // a dialog would wait for a click that never comes
        MessageDialog::setInterceptor(
            [this](MessageDialog::Kind, const std::string&, const std::string& text) {
                dialogs_.push_back(text);
            });
    }
    void lock()
    {
        ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &other_), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other_, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void unlock()
    {
        sqlite3_exec(other_, "ROLLBACK;", nullptr, nullptr, nullptr);
        sqlite3_close(other_);
        other_ = nullptr;
    }
    void TearDown() override
    {
        if (other_)
            unlock();
        WindowTest::TearDown();
        MessageDialog::setInterceptor(nullptr);
    }
    std::string shown(int tab, const std::string& id, const std::string& column)
    {
        extends::RecordTableModel* model = viewerAt(tab)->getModel();
        return model
            ->data(model->index(rowOfId(tab, id), columnIndex(tab, column)), Qt::DisplayRole)
            .toString()
            .toStdString();
    }
    void pressEnterInNotes(int row, const std::string& text)
    {
        clickRow(0, row);
        window_->notesText()->setPlainText(QString::fromStdString(text));
        QTest::keyClick(window_->notesText(), Qt::Key_Return);
    }

    sqlite3* other_ = nullptr;
    std::vector<std::string> dialogs_;
};

TEST_F(Locked, EditsNotesAndRowsAreTakenBackThenStoredWhenMadeAgain)
{
    addSite("Shareware_Sites", "a.com", "1", "first");
    addSite("Shareware_Sites", "b.com", "2", "gone soon");
    addProduct("Tool", "1");
    addSite("Tool", "a.com", "1", "first");
    openWindow();
    db_->getConnection().setBusyTimeout(100);
    selectTab(0);
    const std::string locked = " not stored: database is locked";

    lock();
    edit(0, rowOfId(0, "a.com"), "notes", QString("cell text"));
    EXPECT_EQ(status(), "notes of row a.com in Shareware_Sites" + locked);
    EXPECT_EQ(shown(0, "a.com", "notes"), "first");

    pressEnterInNotes(rowOfId(0, "a.com"), "box text");
    EXPECT_EQ(status(), "notes of row a.com in Shareware_Sites" + locked);
    EXPECT_EQ(viewAt(0)->getById("a.com")->get("notes"), "first");
    EXPECT_TRUE(window_->notesText()->toPlainText().contains("box text")); // kept for Enter again
    // leaving the row tries once, however many steps the click takes
    window_->activateWindow();
    QTest::mouseClick(window_->notesText()->viewport(), Qt::LeftButton);
    const std::size_t failures = report::notStoredCount();
    QTableView* table = viewerAt(0)->getTable();
    const QModelIndex b = table->model()->index(rowOfId(0, "b.com"), 0);
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {},
                      table->viewport()->mapTo(window_.get(), table->visualRect(b).center()));
    EXPECT_EQ(report::notStoredCount(), failures + 1);
    EXPECT_EQ(window_->notesLabel()->text().toStdString(), "Notes : a.com");
    // nor do a refused cell edit of those notes and a tab switch drop the text or its report
    edit(0, rowOfId(0, "a.com"), "notes", QString("cell under lock"));
    selectTab(2);
    EXPECT_EQ(status(), "notes of row a.com in Shareware_Sites" + locked);
    selectTab(0);
    EXPECT_TRUE(window_->notesText()->toPlainText().contains("box text"));

    window_->addNewRecord();
    edit(0, rowOfId(0, "[Enter id]"), "id", QString("new.com"));
    EXPECT_EQ(status(), "row new.com of Shareware_Sites" + locked);
    EXPECT_EQ(rowOfId(0, "new.com"), -1);
    EXPECT_NE(rowOfId(0, "[Enter id]"), -1); // the unstored row stays for a second try

    viewerAt(0)->setSelection({rowOfId(0, "b.com")});
    window_->removeSelectedRecord();
    EXPECT_EQ(status(), "removal of row b.com from Shareware_Sites" + locked);
    EXPECT_NE(rowOfId(0, "b.com"), -1);
    unlock();

    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{"first"});
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "b.com"}));

    edit(0, rowOfId(0, "a.com"), "notes", QString("cell text"));
    EXPECT_EQ(column("SELECT notes FROM Tool WHERE id='a.com'"),
              std::vector<std::string>{"cell text"});
    window_->notesText()->setPlainText("box text");
    pressEnterInNotes(rowOfId(0, "a.com"), "box text");
    EXPECT_EQ(column("SELECT notes FROM Shareware_Sites WHERE id='a.com'"),
              std::vector<std::string>{"box text"});
    EXPECT_EQ(column("SELECT notes FROM Tool WHERE id='a.com'"),
              std::vector<std::string>{"box text"});
    edit(0, rowOfId(0, "[Enter id]"), "id", QString("new.com"));
    EXPECT_EQ(column("SELECT id FROM Tool WHERE id='new.com'"),
              std::vector<std::string>{"new.com"});
    viewerAt(0)->setSelection({rowOfId(0, "b.com")});
    window_->removeSelectedRecord();
    EXPECT_EQ(rowOfId(0, "b.com"), -1);
    EXPECT_EQ(column("SELECT id FROM Shareware_Sites ORDER BY id"),
              (std::vector<std::string>{"a.com", "new.com"}));
}

TEST_F(Locked, CommandsThatWriteShowWhatTheFileHolds)
{
    addSite("Shareware_Sites", "a.com", "1", "first");
    addSite("Temp_Sites", "t.com", "2");
    addProduct("Tool", "1");
    addSite("Tool", "a.com", "1", "first");
    openWindow();
    db_->getConnection().setBusyTimeout(100);
    auto pick = [this](int tab, const std::string& id) {
        selectTab(tab);
        viewerAt(tab)->setSelection({rowOfId(tab, id)});
        QApplication::processEvents();
    };
    auto run = [](extends::Command command) {
        extends::Commands::run(command);
        QApplication::processEvents();
    };
    const std::string locked = "database is locked";

    lock();
    pick(3, "t.com");
    run(extends::Command::MoveToSharewareSitesAction);
    EXPECT_NE(status().find(locked), std::string::npos) << status();
    EXPECT_EQ(idsShown(3), std::vector<std::string>{"t.com"});
    EXPECT_EQ(idsShown(0), std::vector<std::string>{"a.com"});
    EXPECT_EQ(idsShown(4), std::vector<std::string>{"a.com"});

    selectTab(3);
    run(extends::Command::RemoveTemp_SitesAction);
    EXPECT_NE(status().find(locked), std::string::npos) << status();
    EXPECT_EQ(idsShown(3), std::vector<std::string>{"t.com"});
    pick(3, "t.com"); // the last row of its list
    run(extends::Command::RemoveAction);
    EXPECT_EQ(status(), "removal of row t.com from Temp_Sites not stored: " + locked);
    EXPECT_EQ(idsShown(3), std::vector<std::string>{"t.com"});

    pick(4, "a.com");
    run(extends::Command::TodayAction);
    EXPECT_NE(status().find(locked), std::string::npos) << status();
    EXPECT_EQ(viewAt(4)->getById("a.com")->get("sub_date"), "");
    unlock();

    pick(3, "t.com");
    run(extends::Command::MoveToSharewareSitesAction);
    EXPECT_EQ(column("SELECT id FROM Tool ORDER BY id"),
              (std::vector<std::string>{"a.com", "t.com"}));
    EXPECT_EQ(idsShown(3), std::vector<std::string>{});
    EXPECT_EQ(dialogs_, std::vector<std::string>{});
}

TEST_F(Locked, ACloseAskedWhileAWriteWaitsKeepsTheWindowAndTheWriteReport)
{
    addSite("Shareware_Sites", "a.com", "1", "first");
    openWindow();
    selectTab(0);
    // What the user asks while the write waits runs once the write has failed.
    std::vector<std::function<void()>> asked;
    bool sessionEnds = false;
    db_->getConnection().setBusyHandler([&](dwin::database::sqlite::Connection&, int count) {
        for (const std::function<void()>& request : asked)
            QMetaObject::invokeMethod(window_.get(), request, Qt::QueuedConnection);
        asked.clear();
        if (std::exchange(sessionEnds, false)) {
            ::raise(SIGTERM);
            ::raise(SIGHUP);
        }
        return count < 2 ? 1 : 0;
    });
    const auto closeBox = [this] { window_->windowHandle()->close(); };
    const std::string locked = " of row a.com in Shareware_Sites not stored: database is locked";
    EndSignals endSignals([this] { return window_->close(); });
    lock();

    // Enter on a cell; the close box, File > Exit and a session's end during the wait
    asked = {closeBox, [] { extends::Commands::run(extends::Command::ExitAction); }};
    sessionEnds = true;
    edit(0, 0, "notes", QString("cell text"));
    QTest::qWait(100);
    EXPECT_FALSE(window_->isClosed());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(status(), "notes" + locked);

    // an edit left open, two clicks on the close box: the second comes during the wait
    auto* editor = qobject_cast<QLineEdit*>(openEditor(0, 0, "sub_page"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "/add");
    asked = {closeBox};
    closeBox();
    QApplication::processEvents();
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(status(), "sub_page" + locked);

    QTest::qWait(int(UnreadReport::readTime.count()) + 200); // the user reads it
    unlock();
    closeBox();
    EXPECT_TRUE(window_->isClosed());
    EXPECT_EQ(column("SELECT notes || ' ' || sub_page FROM Shareware_Sites"),
              std::vector<std::string>{"first [Enter page]"});
}

} // namespace
} // namespace qmk::test
