#include "qmk/Report.h"

#include "qmk/WindowPort.h"

#include <iostream>

namespace qmk::report {

namespace {
std::size_t failures = 0;
} // namespace

std::size_t notStoredCount()
{
    return failures;
}

void trace(std::string_view line)
{
    try {
        std::cout << line << std::endl;
    } catch (...) {
    }
}

std::string notStoredText(std::string_view what, std::string_view reason)
{
    std::string text(what);
    text += " not stored: ";
    text += reason.empty() ? std::string_view("unknown error") : reason;
    return text;
}

void notStored(WindowPort* window, std::string_view what, std::string_view reason)
{
    ++failures;
    std::string line = "write failed: ";
    line += what;
    line += ": ";
    line += reason;
    trace(line);
    if (!window)
        return;
    try {
        window->showStatus(notStoredText(what, reason));
    } catch (...) {
    }
}

} // namespace qmk::report
