#pragma once
// The browser's status line under the page: the link under the pointer while there is one,
// else the loading state as the engine reports it.

#include <QStatusBar>

class QLabel;
class QWebEngineLoadingInfo;
class QWebEnginePage;

namespace winapi::browser {

class StatusLine final : public QStatusBar {
public:
    StatusLine(QWebEnginePage* page, QWidget* parent);

private:
    void loading(const QWebEngineLoadingInfo& info);
    void progress(int percent);

    QLabel* state_;
    QString url_;
    bool loading_ = false;
};

} // namespace winapi::browser
