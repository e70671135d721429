#include "winapi/browser/Page.h"

#include <QApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include "winapi/Com.h"
#include "winapi/browser/EnginePage.h"
#include "winapi/browser/StatusLine.h"

namespace winapi::browser {

namespace {

constexpr DWORD kScriptTimeoutMs = 15000;
constexpr DWORD kRequestGraceMs = 15000; // a request the engine never starts stops blocking
constexpr int kCheckMs = 100; // how often a wait for a script looks whether the page went

// Why the wait for a script's answer ended; any other code comes from the application's exit.
constexpr int kQuitting = -1;
constexpr int kAnswered = 4101;
constexpr int kLookAgain = 4102;

const char* kPrelude =
    "(function(A){"
    "const R = (globalThis.__qmkRefs = globalThis.__qmkRefs || []);"
    "const ref = (e) => { if (!e) return -1; let i = R.indexOf(e);"
    " if (i < 0) i = R.push(e) - 1; return i; };"
    "try { return {v: (function(){ %1 })()}; } catch (x) { return {err: String(x)}; }"
    "})(%2)";

} // namespace

// Notices the user closing the window: from then on it is no window any more.
class CloseWatcher : public QObject {
public:
    CloseWatcher(QObject* parent, std::weak_ptr<Page> page)
        : QObject(parent), page_(std::move(page))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            if (auto p = page_.lock())
                p->destroyed();
        return false;
    }

private:
    std::weak_ptr<Page> page_;
};

std::shared_ptr<Page> Page::create()
{
    std::shared_ptr<Page> page(new Page);
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    auto* view = new QWebEngineView(window);
    auto* enginePage = new EnginePage(view);
    view->setPage(enginePage);
    auto* statusLine = new StatusLine(enginePage, window);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(view, 1);
    layout->addWidget(statusLine);
    window->resize(785, 530);
    page->window_ = window;
    page->view_ = view;
    page->enginePage_ = enginePage;
    page->statusLine_ = statusLine;
    page->handle_ = RegisterWindowHandle(window);
    std::weak_ptr<Page> weak = page;
    QObject::connect(view, &QWebEngineView::loadStarted, view, [weak] {
        if (auto p = weak.lock())
            p->started();
    });
    QObject::connect(view, &QWebEngineView::loadFinished, view, [weak](bool) {
        if (auto p = weak.lock())
            p->finished();
    });
    window->installEventFilter(new CloseWatcher(window, weak));
    QObject::connect(window, &QObject::destroyed, [weak] {
        if (auto p = weak.lock())
            p->destroyed();
    });
    page->expectNewDocument();
    view->setUrl(QUrl(QStringLiteral("about:blank")));
    return page;
}

Page::~Page()
{
    close();
}

void Page::expectNewDocument()
{
    requested_ = true;
    requestedAt_ = GetTickCount();
    ++generation_;
}

void Page::started()
{
    requested_ = false;
    ++generation_;
}

void Page::finished()
{
    requested_ = false;
}

void Page::destroyed()
{
    closed_ = true;
    UnregisterWindowHandle(handle_);
}

bool Page::documentReady() const
{
    if (!alive())
        return false;
    if (requested_ && static_cast<DWORD>(GetTickCount() - requestedAt_) < kRequestGraceMs)
        return false;
    return !view_->page()->isLoading();
}

void Page::close()
{
    if (closed_)
        return;
    closed_ = true;
    UnregisterWindowHandle(handle_);
    if (window_) {
        window_->hide();
        window_->deleteLater();
    }
}

std::optional<QVariant> Page::run(const QString& body, const QJsonArray& args,
                                  std::uint64_t generation, bool leaveAllowed)
{
    if (!alive() || generation != generation_)
        return std::nullopt;
    struct Reply {
        bool done = false;
        QVariant value;
        QEventLoop* loop = nullptr; // the wait for this reply, while it runs
    };
    auto reply = std::make_shared<Reply>();
    const QString json = QString::fromUtf8(QJsonDocument(args).toJson(QJsonDocument::Compact));
    view_->page()->runJavaScript(QString::fromLatin1(kPrelude).arg(body, json),
                                 QWebEngineScript::ApplicationWorld,
                                 [reply](const QVariant& value) {
                                     reply->value = value;
                                     reply->done = true;
                                     if (reply->loop)
                                         reply->loop->exit(kAnswered);
                                 });
    if (!awaitReply(reply->done, reply->loop))
        return std::nullopt;
    if (!leaveAllowed && generation != generation_)
        return std::nullopt;
    const QVariantMap result = reply->value.toMap();
    if (!result.contains(QStringLiteral("v")))
        return std::nullopt;
    return result.value(QStringLiteral("v"));
}

bool Page::awaitReply(const bool& done, QEventLoop*& slot)
{
    // A program that is quitting gets no answer.
    if (QCoreApplication::closingDown())
        return false;
    const DWORD start = GetTickCount();
    const auto timedOut = [start] {
        return static_cast<DWORD>(GetTickCount() - start) >= kScriptTimeoutMs;
    };
    while (!done) {
        if (!alive() || timedOut())
            return false;
        // Window events run meanwhile; the answer ends the wait at once.
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&loop] { loop.exit(kLookAgain); });
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &loop,
                         [&loop] { loop.exit(kQuitting); });
        check.start(kCheckMs);
        slot = &loop;
        const int why = loop.exec();
        slot = nullptr;
        if (why != kAnswered && why != kLookAgain)
            return false;
    }
    return true;
}

QString toQString(BSTR text)
{
    return text == nullptr ? QString()
                           : QString::fromUtf16(text, static_cast<qsizetype>(SysStringLen(text)));
}

BSTR toBstr(const QString& text)
{
    if (text.isEmpty())
        return nullptr;
    return SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                             static_cast<UINT>(text.size()));
}

} // namespace winapi::browser
