#include "Fixture.h"

#include "qmk/Base.h"
#include "qmk/config/Config.h"
#include "qmk/extends/RecordTableModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>
#include <fstream>
#include <sstream>

namespace qmk::test {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

namespace {

std::vector<std::string>& modelFaults()
{
    static std::vector<std::string> faults;
    return faults;
}

QtMessageHandler previousHandler = nullptr;

void collectModelFaults(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (context.category && std::string_view(context.category) == "qt.modeltest")
        modelFaults().push_back(text.toStdString());
    else if (previousHandler)
        previousHandler(type, context, text);
}

// Puts a model tester on the model of every table that gets its place in a tab.
class ModelWatcher : public QObject {
public:
    ModelWatcher()
    {
        modelFaults().clear();
        previousHandler = qInstallMessageHandler(collectModelFaults);
        qApp->installEventFilter(this);
    }
    ~ModelWatcher() override
    {
        qApp->removeEventFilter(this);
        qInstallMessageHandler(previousHandler);
        for (const std::string& fault : modelFaults())
            ADD_FAILURE() << "model tester: " << fault;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            auto* table = qobject_cast<QTableView*>(static_cast<QChildEvent*>(event)->child());
            auto* model =
                table ? qobject_cast<extends::RecordTableModel*>(table->model()) : nullptr;
            if (model && !model->findChild<QAbstractItemModelTester*>())
                new QAbstractItemModelTester(
                    model, QAbstractItemModelTester::FailureReportingMode::Warning, model);
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void WindowTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    modelWatcher_ = std::make_unique<ModelWatcher>();
    folder_ = dir_.path().toStdString() + "/Brightfen/Quillmark";
    config::Config::setInstance(std::make_unique<config::Config>(folder_, "qmk.config"));
    db_ = std::make_unique<DB>(folder_ + "/qmk.db");
}

void WindowTest::TearDown()
{
    window_.reset();
    db_.reset();
    QApplication::processEvents();
    modelWatcher_.reset();
}

void WindowTest::exec(const std::string& sql)
{
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open((folder_ + "/qmk.db").c_str(), &handle), SQLITE_OK);
    char* error = nullptr;
    int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &error);
    std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(handle);
    ASSERT_EQ(rc, SQLITE_OK) << message << " in " << sql;
}

std::vector<std::string> WindowTest::column(const std::string& sql)
{
    std::vector<std::string> values;
    sqlite3* handle = nullptr;
    sqlite3_open((folder_ + "/qmk.db").c_str(), &handle);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* text = sqlite3_column_text(statement, 0);
            values.push_back(text ? reinterpret_cast<const char*>(text) : "");
        }
    } else {
        ADD_FAILURE() << sqlite3_errmsg(handle) << " in " << sql;
    }
    sqlite3_finalize(statement);
    sqlite3_close(handle);
    return values;
}

void WindowTest::addSite(const std::string& table, const std::string& id, const std::string& pr,
                         const std::string& notes)
{
    exec("INSERT INTO \"" + table +
         "\" (id, pr, backlink, sub_method, sort, sub_page, rev_days, g_user, g_pass, "
         "notes) VALUES ('" +
         id + "', '" + pr + "', 'not', 'pad', 'title', '[Enter page]', '0', '', '', '" + notes +
         "');");
}

void WindowTest::addProduct(const std::string& id, const std::string& pr)
{
    exec("INSERT INTO Softwares (id, home, pr, pad_locale, exe_locale, notes) VALUES ('" + id +
         "', '[Enter homepage]', '" + pr + "', '[Enter locale PAD]', '', '');");
    exec("CREATE TABLE \"" + id +
         "\" (id UNIQUE NOT "
         "NULL,pr,listed_url,username,password,version,sub_date,backlink,sub_method,sort,"
         "sub_page,rev_days,g_user,g_pass,notes);");
}

void WindowTest::addListedSiteWithNotes(const std::string& id, const std::string& notesSql)
{
    addSite("Shareware_Sites", id, "1");
    addProduct("Tool", "1");
    addSite("Tool", id, "1");
    exec("UPDATE Shareware_Sites SET notes = " + notesSql +
         "; UPDATE Tool SET notes = (SELECT notes FROM Shareware_Sites);");
}

void WindowTest::openWindow()
{
    window_ = std::make_unique<MainWindow>(db_.get());
    window_->open();
    QApplication::processEvents();
}

void WindowTest::closeWindow()
{
    window_->close();
    QApplication::processEvents();
}

void WindowTest::reopenDatabase()
{
    window_.reset();
    db_.reset();
    db_ = std::make_unique<DB>(folder_ + "/qmk.db");
}

void WindowTest::setSetting(const std::string& key, const std::string& value)
{
    config::Config::getInstance().getPreferenceStore().setValue(key, value);
}

std::string WindowTest::setting(const std::string& key)
{
    return config::Config::getInstance().getPreferenceStore().getString(key);
}

tab::TableView* WindowTest::viewAt(int tab)
{
    QWidget* page = window_->getTabFolder()->widget(tab);
    return dynamic_cast<tab::TableView*>(extends::TableViewer::viewerRecordsOf(page));
}

extends::TableViewer* WindowTest::viewerAt(int tab)
{
    tab::TableView* view = viewAt(tab);
    return view ? view->viewer() : nullptr;
}

std::vector<std::string> WindowTest::idsShown(int tab)
{
    std::vector<std::string> ids;
    extends::TableViewer* viewer = viewerAt(tab);
    for (int row = 0; viewer && row < viewer->rowCount(); ++row)
        ids.push_back(viewer->recordAt(row)->get("id").value_or("?"));
    return ids;
}

void WindowTest::selectTab(int tab)
{
    window_->getTabFolder()->tabBar()->setCurrentIndex(tab);
    QApplication::processEvents();
}

void WindowTest::edit(int tab, int row, const std::string& column, const QVariant& value)
{
    extends::RecordTableModel* model = viewerAt(tab)->getModel();
    const int index = columnIndex(tab, column);
    ASSERT_LT(index, int(model->columnNames().size())) << column;
    ASSERT_TRUE(model->setData(model->index(row, index), value, Qt::EditRole));
    QApplication::processEvents(); // what the edit set off (a tab read again) runs
}

int WindowTest::columnIndex(int tab, const std::string& name)
{
    const auto& names = viewerAt(tab)->getModel()->columnNames();
    return int(std::find(names.begin(), names.end(), name) - names.begin());
}

QWidget* WindowTest::openEditor(int tab, int row, const std::string& name)
{
    QTableView* table = viewerAt(tab)->getTable();
    const QModelIndex cell = table->model()->index(row, columnIndex(tab, name));
    table->setCurrentIndex(cell);
    table->edit(cell);
    QApplication::processEvents();
    return table->indexWidget(cell);
}

void WindowTest::clickRow(int tab, int row)
{
    QTableView* table = viewerAt(tab)->getTable();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(row, 0)).center());
}

int WindowTest::rowOfId(int tab, const std::string& id)
{
    std::vector<std::string> ids = idsShown(tab);
    auto it = std::find(ids.begin(), ids.end(), id);
    return it == ids.end() ? -1 : int(it - ids.begin());
}

std::string WindowTest::status()
{
    return window_->statusText();
}

} // namespace qmk::test
