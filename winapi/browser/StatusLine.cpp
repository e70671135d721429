#include "winapi/browser/StatusLine.h"

#include <QLabel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

namespace winapi::browser {

StatusLine::StatusLine(QWebEnginePage* page, QWidget* parent)
    : QStatusBar(parent), state_(new QLabel(this))
{
    setSizeGripEnabled(false);
    addWidget(state_, 1);
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        if (url.isEmpty())
            clearMessage();
        else
            showMessage(url);
    });
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) { loading(info); });
    connect(page, &QWebEnginePage::loadProgress, this, [this](int percent) { progress(percent); });
}

void StatusLine::loading(const QWebEngineLoadingInfo& info)
{
    loading_ = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
        url_ = info.url().toDisplayString();
        state_->setText(QStringLiteral("Opening %1").arg(url_));
        break;
    case QWebEngineLoadingInfo::LoadSucceededStatus: state_->setText(QStringLiteral("Done")); break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:
        state_->setText(QStringLiteral("Stopped"));
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus: {
        const QString url = info.url().toDisplayString();
        state_->setText(info.errorString().isEmpty()
                            ? QStringLiteral("Could not open %1").arg(url)
                            : QStringLiteral("Could not open %1: %2").arg(url, info.errorString()));
        break;
    }
    }
}

void StatusLine::progress(int percent)
{
    if (loading_ && percent < 100)
        state_->setText(QStringLiteral("Opening %1 (%2%)").arg(url_).arg(percent));
}

} // namespace winapi::browser
