#include "qmk/MessageDialog.h"

#include <QMessageBox>
#include <QString>

namespace qmk::MessageDialog {

namespace {

Interceptor& interceptor()
{
    static Interceptor taken;
    return taken;
}

void open(Kind kind, const std::string& title, const std::string& message)
{
    if (interceptor()) {
        interceptor()(kind, title, message);
        return;
    }
    const QString caption = QString::fromStdString(title);
    const QString text = QString::fromStdString(message);
    if (kind == Kind::Error)
        QMessageBox::critical(nullptr, caption, text);
    else
        QMessageBox::information(nullptr, caption, text);
}

} // namespace

void setInterceptor(Interceptor taken)
{
    interceptor() = std::move(taken);
}

void openError(const std::string& title, const std::string& message)
{
    open(Kind::Error, title, message);
}

void openInformation(const std::string& title, const std::string& message)
{
    open(Kind::Information, title, message);
}

} // namespace qmk::MessageDialog
