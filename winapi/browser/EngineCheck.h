#pragma once
// Whether the browser engine can start in this process. Chromium, inside Qt WebEngine, ends the
// whole process when it is started by root with its sandbox on; so the engine is not made then.
// The user switches the sandbox off with QTWEBENGINE_DISABLE_SANDBOX (set to any value) or the
// switch --no-sandbox, which the engine takes from QTWEBENGINE_CHROMIUM_FLAGS when that is set,
// else from the application's arguments after --webEngineArgs.
#include <QStringList>

#include <optional>
#include <string>

namespace winapi::browser {

// Why the engine cannot start, or no value when it can. asRoot: the process runs as root;
// arguments: the application's arguments (the program name first).
std::optional<std::string> whyEngineCannotStart(bool asRoot, const QStringList& arguments);
// The same for this process (its user, QCoreApplication::arguments()).
std::optional<std::string> whyEngineCannotStart();

} // namespace winapi::browser
