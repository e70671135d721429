#pragma once
// Process-wide COM set-up: a single-threaded apartment on the thread that loads the program,
// opened before main and closed after it returns. Nothing here throws.

namespace dwin::sys::win32::com::Init {

// Opens the apartment once; later calls do nothing.
void initialize();
// Closes it once after initialize; without it, does nothing.
void uninitialize();
bool isInitialized();

} // namespace dwin::sys::win32::com::Init
