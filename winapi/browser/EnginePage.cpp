#include "winapi/browser/EnginePage.h"

#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>

namespace winapi::browser {

namespace {

// The engine asks this through javaScriptConfirm when a page objects to being left.
const QString kLeaveQuestion = QStringLiteral(
    "Are you sure you want to leave this page? Changes that you made may not be saved.");

} // namespace

EnginePage::EnginePage(QObject* parent) : QWebEnginePage(parent)
{
    refuseRequestsWhenSilent();
}

void EnginePage::refuseRequestsWhenSilent()
{
    connect(this, &QWebEnginePage::certificateError, this,
            [this](const QWebEngineCertificateError& error) {
                if (silent_)
                    QWebEngineCertificateError(error).rejectCertificate();
            });
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                if (silent_)
                    setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                if (silent_)
                    request.reject();
            });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [this](QWebEngineRegisterProtocolHandlerRequest request) {
                if (silent_)
                    request.reject();
            });
    connect(this, &QWebEnginePage::quotaRequested, this, [this](QWebEngineQuotaRequest request) {
        if (silent_)
            request.reject();
    });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [this](QWebEngineFileSystemAccessRequest request) {
                if (silent_)
                    request.reject();
            });
    connect(this, &QWebEnginePage::selectClientCertificate, this,
            [this](QWebEngineClientCertificateSelection selection) {
                if (silent_)
                    selection.selectNone();
            });
    // The profile is shared by every page: only this page's downloads are refused here.
    connect(profile(), &QWebEngineProfile::downloadRequested, this,
            [this](QWebEngineDownloadRequest* download) {
                if (silent_ && download->page() == this)
                    download->cancel();
            });
}

void EnginePage::javaScriptAlert(const QUrl& origin, const QString& message)
{
    if (!silent_)
        QWebEnginePage::javaScriptAlert(origin, message);
}

bool EnginePage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    if (silent_)
        return message == kLeaveQuestion;
    return QWebEnginePage::javaScriptConfirm(origin, message);
}

bool EnginePage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                  const QString& defaultValue, QString* result)
{
    if (silent_)
        return false;
    return QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
}

void EnginePage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                          const QString& message, int line, const QString& source)
{
    if (!silent_)
        QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}

} // namespace winapi::browser
