#include "qmk/Report.h"

#include "qmk/WindowPort.h"

#include <cstdio>
#include <exception>
#include <initializer_list>
#include <iostream>

namespace qmk::report {

namespace {

std::size_t failures = 0;

// Standard error through C stdio, which throws nothing; the last resort of a trace line.
void writeToStandardError(std::initializer_list<std::string_view> parts) noexcept
{
    std::fputs("trace line not written to the console: ", stderr);
    for (std::string_view part : parts)
        std::fwrite(part.data(), 1, part.size(), stderr);
    std::fputc('\n', stderr);
}

// The parts as one console line; a console that refuses it (closed, set to throw, no memory)
// leaves the line on standard error.
void writeLine(std::initializer_list<std::string_view> parts) noexcept
{
    bool written = false;
    try {
        for (std::string_view part : parts)
            std::cout << part;
        std::cout << std::endl;
        written = static_cast<bool>(std::cout);
    } catch (...) {
        written = false; // standard error below
    }
    if (written)
        return;
    std::cout.clear(); // the next line tries the console again
    writeToStandardError(parts);
}

// Calls use with the message of the exception being handled: its what() for a std::exception.
template <class Use>
void withReasonInFlight(Use use)
{
    const std::exception_ptr current = std::current_exception();
    if (!current) {
        use(std::string_view("no exception"));
        return;
    }
    try {
        std::rethrow_exception(current);
    } catch (const std::exception& e) {
        use(std::string_view(e.what()));
    } catch (...) {
        use(std::string_view("unknown exception"));
    }
}

} // namespace

std::size_t notStoredCount()
{
    return failures;
}

void trace(std::string_view line) noexcept
{
    writeLine({line});
}

void caught(std::string_view where) noexcept
{
    withReasonInFlight([where](std::string_view reason) { writeLine({where, " catch ", reason}); });
}

void failed(WindowPort* window, std::string_view what) noexcept
{
    caught(what);
    if (!window)
        return;
    try {
        withReasonInFlight([window, what](std::string_view reason) {
            window->showStatus(std::string(what) + " failed: " + std::string(reason));
        });
    } catch (...) {
        caught("failed status line");
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
    writeLine({"write failed: ", what, ": ", reason});
    if (!window)
        return;
    try {
        window->showStatus(notStoredText(what, reason));
    } catch (...) {
        caught("notStored status line");
    }
}

} // namespace qmk::report
