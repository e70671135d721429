// The find prompt and the find command, as the user drives them.
#include "Fixture.h"

#include "qmk/MyAction.h"
#include "qmk/dialog/FindDialog.h"
#include "qmk/extends/Commands.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace qmk::test {
namespace {

using dialog::FindDialog;

class Find : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        addSite("Shareware_Sites", "alpha.example");
        addSite("Shareware_Sites", "download.example");
        addSite("Black_Sites", "blacksite.example");
        addSite("Temp_Sites", "candidate.example");
        addProduct("MyProduct", "5");
        openWindow();
    }
    FindDialog& dialog() { return FindDialog::getInstance(); }
    QPushButton* button(const char* text)
    {
        for (QPushButton* b : dialog().shell()->findChildren<QPushButton*>())
            if (b->text() == text)
                return b;
        return nullptr;
    }
    // Types into the field and presses Enter, as the user does.
    void enter(const QString& text)
    {
        dialog().field()->clear();
        QTest::keyClicks(dialog().field(), text);
        QTest::keyClick(dialog().field(), Qt::Key_Return);
        QApplication::processEvents();
    }
    std::vector<std::string> selectedIds(int tab)
    {
        std::vector<std::string> ids;
        for (const auto& record : viewerAt(tab)->selectedRecords())
            ids.push_back(record->get("id").value_or("?"));
        return ids;
    }
    QTabWidget* folder() { return window_->getTabFolder(); }
};

TEST_F(Find, PromptButtonsAndVisibility)
{
    extends::Commands::run(extends::Command::FindTableItemAction);
    QDialog* shell = dialog().shell();
    ASSERT_TRUE(shell->isVisible());
    EXPECT_EQ(shell->windowTitle(), "Find id in Tables");
    EXPECT_FALSE(shell->isModal());
    for (const char* text : {"&Process", "&Cancel", "C&lear"})
        EXPECT_FALSE(button(text)->icon().isNull()) << text;
    EXPECT_FALSE(button("&Process")->isEnabled());
    QTest::keyClicks(dialog().field(), "abc");
    EXPECT_TRUE(button("&Process")->isEnabled());
    button("C&lear")->click();
    EXPECT_FALSE(button("&Process")->isEnabled());

    // The close box only hides; the next show brings the same window with an empty field, while
    // a command taking over the open window keeps the text.
    QTest::keyClicks(dialog().field(), "typed");
    shell->close();
    EXPECT_FALSE(shell->isVisible());
    dialog().show();
    EXPECT_EQ(dialog().shell(), shell);
    EXPECT_EQ(dialog().field()->text(), "");
    QTest::keyClicks(dialog().field(), "kept");
    extends::Commands::run(extends::Command::GoogleSearchAction);
    EXPECT_EQ(dialog().field()->text(), "kept");
    button("&Cancel")->click();
    EXPECT_FALSE(shell->isVisible());

    // Process hands over the trimmed, lower-cased text; a throwing callback leaves it enabled.
    std::string got;
    dialog().callback = [&got](const std::string& text) {
        got = text;
        throw std::runtime_error("worker failed");
    };
    dialog().show();
    QTest::keyClicks(dialog().field(), "  Mixed Case Text \t");
    EXPECT_THROW(dialog().process(),
                 std::runtime_error); // not through Qt's frames, which cannot unwind
    EXPECT_EQ(got, "mixed case text");
    EXPECT_TRUE(button("&Process")->isEnabled());
}

TEST_F(Find, RowsByIdAcrossTabs)
{
    extends::Commands::run(extends::Command::FindTableItemAction);
    selectTab(0);

    enter("ab");
    EXPECT_EQ(status(), "search text length must greater than 2");
    EXPECT_TRUE(dialog().shell()->isVisible());

    // The text contains a whole id: a full address typed for a site in the current tab.
    enter("http://www.download.example/files/");
    EXPECT_EQ(status(), "found http://www.download.example/files/ in Shareware_Sites");
    EXPECT_EQ(folder()->currentIndex(), 0);
    EXPECT_EQ(selectedIds(0), std::vector<std::string>{"download.example"});
    EXPECT_FALSE(dialog().shell()->isVisible());

    // A part of an id, typed in capitals, in another tab: the tab switches and the row is chosen.
    dialog().show();
    enter("BLACKSITE");
    EXPECT_EQ(folder()->currentIndex(), 2);
    EXPECT_EQ(status(), "found blacksite in Black_Sites");
    EXPECT_EQ(selectedIds(2), std::vector<std::string>{"blacksite.example"});

    // The current tab is searched first, then the others in order.
    dialog().show();
    enter("example");
    EXPECT_EQ(folder()->currentIndex(), 2);
    EXPECT_EQ(selectedIds(2), std::vector<std::string>{"blacksite.example"});

    // An id with capitals is found only by a stretch of it without capitals.
    dialog().show();
    enter("MyProduct");
    EXPECT_EQ(status(), " not found myproduct in tables");
    EXPECT_TRUE(dialog().shell()->isVisible());
    enter("roduct");
    EXPECT_EQ(folder()->currentIndex(), 1);
    EXPECT_EQ(status(), "found roduct in Softwares");
    EXPECT_EQ(selectedIds(1), std::vector<std::string>{"MyProduct"});
}

} // namespace
} // namespace qmk::test
