#pragma once
// The page of a browser's view. Made silent, it opens no dialog of its own and leaves nothing
// pending: script alerts go on, confirm and prompt are cancelled, the question before leaving a
// page lets it go, and certificate errors, permission, full-screen, protocol-handler, quota,
// file-system, client-certificate and download requests are refused; script messages and
// errors are not written to the console. File and colour choosers stay: the engine opens them
// only on the user's own click in a form, which is how the upload form is filled.

#include <QWebEnginePage>

namespace winapi::browser {

class EnginePage final : public QWebEnginePage {
public:
    explicit EnginePage(QObject* parent);

    bool silent() const { return silent_; }
    void setSilent(bool silent) { silent_ = silent; }

protected:
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int line, const QString& source) override;

private:
    void refuseRequestsWhenSilent();

    bool silent_ = false;
};

} // namespace winapi::browser
