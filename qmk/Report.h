#pragma once
// The one way the program reports what went wrong: trace lines on the console for whoever runs
// it, and for a write that did not reach the database file also the status line, so the user
// knows the change was not kept. Free of Qt Widgets: the status line is reached through the
// WindowPort the caller hands over (null: the console line only). Never throws.

#include <cstddef>
#include <string>
#include <string_view>

namespace qmk {

class WindowPort;

namespace report {

// One line on the console (standard output); standard error when that cannot be written.
void trace(std::string_view line) noexcept;

// The trace line "<where> catch <reason>" for the exception being handled: its what() for a
// std::exception, "unknown exception" for any other. Call it inside a catch block only.
void caught(std::string_view where) noexcept;

// Where the user acted: "<what> failed: <reason>" on the status line for the exception being
// handled, and the trace line caught(what) gives. Call it inside a catch block only.
void failed(WindowPort* window, std::string_view what) noexcept;

// "<what> not stored: <reason>" on the status line, and the trace line
// "write failed: <what>: <reason>".
void notStored(WindowPort* window, std::string_view what, std::string_view reason);

// The status text notStored shows.
std::string notStoredText(std::string_view what, std::string_view reason);

// How many writes notStored has reported since the program started.
std::size_t notStoredCount();

} // namespace report
} // namespace qmk
