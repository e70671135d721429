// Filling 20 fields of a form loaded into the browser core: through the automation calls (find
// the element by id, set its value), against 20 direct runJavaScript calls on the same view,
// each waiting for its answer, in the same run.
// Run offscreen: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 ./browser_bench
#include "dwin/sys/win32/QtMessagePump.h"
#include "dwin/sys/win32/com/Core.h"
#include "dwin/sys/win32/ie/IE.h"
#include "dwin/sys/win32/ie/WebBrowser.h"
#include "vorn/IE.h"
#include "winapi/Com.h"
#include "winapi/browser/BrowserServer.h"

#include <QApplication>
#include <QEventLoop>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace dwin::sys::win32;
using com::ComPtr;

constexpr int kFields = 20;

std::string formPage()
{
    std::string html =
        "<html><head><meta charset='utf-8'><title>Form</title></head><body><form method='post' "
        "action='post.php'>";
    for (int i = 0; i < kFields; ++i)
        html += "<input id='f" + std::to_string(i) + "' name='f" + std::to_string(i) + "'>";
    return html + "</form></body></html>";
}

// One browser with the form loaded, shared by both benchmarks.
struct Browser {
    ComPtr<winapi::IWebBrowser2> browser;
    QWebEngineView* view = nullptr;

    Browser()
    {
        browser = com::createInternetExplorer(winapi::CLSCTX_LOCAL_SERVER);
        if (!browser || !ie::navigate(browser.get(), "about:blank") ||
            !ie::hasDocument(browser.get(), 10000) ||
            !vorn::IE::loadHtml(browser.get(), formPage(), "http://127.0.0.1:9/form.php") ||
            !ie::waitForTitle(browser.get(), "Form", 10000))
            return;
        if (auto* window =
                static_cast<QWidget*>(winapi::WindowOfHandle(com::getBrowserHwnd(browser.get()))))
            view = window->findChild<QWebEngineView*>();
    }
    ~Browser()
    {
        if (browser)
            browser->Quit();
    }
};

Browser* shared = nullptr;

void BM_FillByAutomation(benchmark::State& state)
{
    Browser& b = *shared;
    if (!b.view)
        return state.SkipWithError("no browser");
    for (auto _ : state) {
        for (int i = 0; i < kFields; ++i) {
            auto field = ie::getElementById(b.browser.get(), "f" + std::to_string(i));
            if (!field ||
                !com::setAttribute(field.get(), "value", std::string("value ") + std::to_string(i),
                                   0))
                return state.SkipWithError("automation call failed");
        }
    }
}

void BM_FillByRunJavaScript(benchmark::State& state)
{
    Browser& b = *shared;
    if (!b.view)
        return state.SkipWithError("no browser");
    for (auto _ : state) {
        for (int i = 0; i < kFields; ++i) {
            QEventLoop loop;
            bool answered = false;
            b.view->page()->runJavaScript(
                QStringLiteral("document.getElementById('f%1').value = 'value %1'; true").arg(i),
                [&](const QVariant&) {
                    answered = true;
                    loop.quit();
                });
            if (!answered)
                loop.exec();
        }
    }
}

BENCHMARK(BM_FillByRunJavaScript)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_FillByAutomation)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    installQtMessagePump();
    winapi::browser::registerBrowserServer();
    benchmark::Initialize(&argc, argv);
    {
        Browser browser;
        shared = &browser;
        benchmark::RunSpecifiedBenchmarks();
        shared = nullptr;
    }
    benchmark::Shutdown();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
