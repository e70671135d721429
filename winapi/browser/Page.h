#pragma once
// The state a browser shares with its documents and elements: the window (the view with the
// status line under it), its handle, whether a document is ready, and the scripts run in the
// page's isolated world.

#include <cstdint>
#include <memory>
#include <optional>

#include <QJsonArray>
#include <QPointer>
#include <QString>
#include <QVariant>

#include "winapi/Types.h"

#include <QWebEngineView>

class QEventLoop;

namespace winapi::browser {

class EnginePage;
class StatusLine;

class Page {
public:
    // Makes the window (top-level, not shown) and starts its view on a blank page.
    static std::shared_ptr<Page> create();
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    QWidget* window() const { return window_; }
    QWebEngineView* view() const { return view_; }
    EnginePage* enginePage() const { return enginePage_; }
    StatusLine* statusLine() const { return statusLine_; }
    HWND handle() const { return handle_; }
    bool alive() const { return !window_.isNull() && !view_.isNull() && !closed_; }
    // A new document is on its way: documents made before it stop answering.
    void expectNewDocument();
    // Stop ends the wait for a requested document.
    void finishedByStop() { requested_ = false; }
    bool documentReady() const;
    std::uint64_t generation() const { return generation_; }
    // Hides and deletes the window; the handle stops being a window.
    void close();

    // Runs `body` in the isolated world as the body of a function of the argument array A,
    // where R is the world's list of elements handed out and ref(e) gives an element's index
    // in it (-1 for none). Gives the function's value, or nothing when the page has gone, the
    // document changed from `generation`, the script threw, or no answer came in time.
    // With leaveAllowed, the answer counts even when the script made the page move on (a click).
    // The wait runs the event loop (window events run meanwhile) and ends as soon as the answer
    // comes.
    std::optional<QVariant> run(const QString& body, const QJsonArray& args,
                                std::uint64_t generation, bool leaveAllowed = false);

private:
    Page() = default;
    // Runs the event loop until `done` is set (the answer quits the loop held in `slot`); false
    // when the page goes, the program quits or no answer comes in time.
    bool awaitReply(const bool& done, QEventLoop*& slot);
    void started();
    void finished();
    void destroyed();
    friend class CloseWatcher;

    QPointer<QWidget> window_;
    QPointer<QWebEngineView> view_;
    EnginePage* enginePage_ = nullptr; // owned by the view
    StatusLine* statusLine_ = nullptr; // owned by the window
    HWND handle_ = nullptr;
    bool closed_ = false;
    bool requested_ = false; // asked to load; the engine has not said it started yet
    DWORD requestedAt_ = 0;
    std::uint64_t generation_ = 1;
};

QString toQString(BSTR text);
BSTR toBstr(const QString& text); // null for the empty text

} // namespace winapi::browser
