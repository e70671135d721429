// The submit command of the browser window, from the command to the filled upload form shown,
// beside loading the same page with the browser core's loadHtml alone, in the same window and
// the same run. Each round starts from a blank page; "shown" is the form's title in the document.
// Run offscreen: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 ./browser_bench
#include "bench/common/BenchApp.h"
#include "dwin/net/Services.h"
#include "dwin/sys/win32/Process.h"
#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"
#include "qmk/dialog/SiteForms.h"
#include "qmk/dialog/WebBrowserDialog.h"
#include "qmk/extends/Commands.h"
#include "qmk/extends/TableViewer.h"
#include "qmk/tab/TableView.h"
#include "vorn/IE.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>

namespace {

namespace ie = dwin::sys::win32::ie;
using qmk::dialog::WebBrowserDialog;

const char* const kTitle = "Free downloads of the best computer software freeware and shareware";

// A window on a database with one product ready to submit, its download-site row selected, and
// the browser window open.
struct Scene : bench::DataFolder {
    std::unique_ptr<bench::OpenWindow> opened;
    WebBrowserDialog* dialog = nullptr;

    Scene()
    {
        const std::string domain = dwin::net::downloadSiteDomain();
        const std::string sql = "INSERT INTO Softwares (id, home, pr, pad_locale, exe_locale, "
                                "notes) VALUES ('Tidy', '[Enter homepage]', "
                                "'3', '/opt/tidy/pad.xml', '/opt/tidy/setup.exe', '');"
                                "CREATE TABLE Tidy (id UNIQUE NOT "
                                "NULL,pr,listed_url,username,password,version,sub_date,backlink,"
                                "sub_method,sort,sub_page,rev_days,g_user,g_pass,notes);"
                                "INSERT INTO Tidy (id, pr, listed_url) VALUES ('" +
            domain + "', '5', 'https://www." + domain + "/category.php[id][cid]152');";
        sqlite3* handle = nullptr;
        sqlite3_open(path.c_str(), &handle);
        sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
        sqlite3_close(handle);
        opened = std::make_unique<bench::OpenWindow>(path);
        opened->showTab(4)->viewer()->getTable()->selectRow(0);
        dialog = WebBrowserDialog::getInstance();
        dialog->show();
        QApplication::processEvents();
    }

    // Pumps until the document's title is the text.
    void waitForTitle(const std::string& text)
    {
        while (ie::getTitle(dialog->browser()).value_or("") != text)
            dwin::sys::win32::Process::wait(1);
    }
    void blank()
    {
        ie::navigate(dialog->browser(), "about:blank");
        while (!ie::getDocument2(dialog->browser()) ||
               dwin::sys::win32::com::getBrowserLocationUrl(dialog->browser()).value_or("") !=
                   "about:blank")
            dwin::sys::win32::Process::wait(1);
    }
};

std::unique_ptr<Scene>& theScene()
{
    static std::unique_ptr<Scene> s;
    return s;
}

Scene& scene()
{
    if (!theScene())
        theScene() = std::make_unique<Scene>();
    return *theScene();
}

std::string filledForm()
{
    std::string page = qmk::dialog::uploadForm();
    page.replace(page.find("category_id_value"), 17, "152");
    page.replace(page.find("category_id_text"), 16, "Internet | HTML Tools");
    return page;
}

void BM_SubmitCommand(benchmark::State& state)
{
    Scene& s = scene();
    QAction* submit = qmk::extends::Commands::find(qmk::extends::Command::SubmitProductAction);
    for (auto _ : state) {
        state.PauseTiming();
        s.blank();
        state.ResumeTiming();
        submit->trigger();
        s.waitForTitle(kTitle);
    }
}
BENCHMARK(BM_SubmitCommand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_LoadHtmlAlone(benchmark::State& state)
{
    Scene& s = scene();
    const std::string page = filledForm();
    const std::string base = qmk::dialog::uploadPageUrl();
    for (auto _ : state) {
        state.PauseTiming();
        s.blank();
        state.ResumeTiming();
        vorn::IE::loadHtml(s.dialog->browser(), page, base);
        s.waitForTitle(kTitle);
    }
}
BENCHMARK(BM_LoadHtmlAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

} // namespace

int main(int argc, char** argv)
{
    return bench::runBenchmarks(argc, argv,
                                {.actions = true,
                                 .browser = true,
                                 .before = [] { scene(); },
                                 // the browser goes with its window, before the application
                                 .after = [] { theScene().reset(); }});
}
