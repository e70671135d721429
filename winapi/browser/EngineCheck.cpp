#include "winapi/browser/EngineCheck.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <unistd.h>

namespace winapi::browser {

namespace {

// The switches the engine is started with, as it picks them.
QStringList engineSwitches(const QStringList& arguments)
{
    if (qEnvironmentVariableIsSet("QTWEBENGINE_CHROMIUM_FLAGS"))
        return qEnvironmentVariable("QTWEBENGINE_CHROMIUM_FLAGS")
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const qsizetype from = arguments.indexOf(QRegularExpression(
        QStringLiteral("--webEngineArgs"), QRegularExpression::CaseInsensitiveOption));
    return from < 0 ? QStringList() : arguments.mid(from + 1);
}

// "--no-sandbox" or "-no-sandbox", with or without a value.
bool hasNoSandbox(const QStringList& switches)
{
    static const QRegularExpression noSandbox(QStringLiteral("^--?no-sandbox(=.*)?$"));
    return !switches.filter(noSandbox).isEmpty();
}

} // namespace

std::optional<std::string> whyEngineCannotStart(bool asRoot, const QStringList& arguments)
{
    if (!asRoot || qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") ||
        hasNoSandbox(engineSwitches(arguments)))
        return std::nullopt;
    return "running as root with the browser sandbox on is not supported (set "
           "QTWEBENGINE_DISABLE_SANDBOX=1 to run the browser without it)";
}

std::optional<std::string> whyEngineCannotStart()
{
    const QStringList arguments =
        QCoreApplication::instance() ? QCoreApplication::arguments() : QStringList();
    return whyEngineCannotStart(::getuid() == 0 || ::geteuid() == 0, arguments);
}

} // namespace winapi::browser
