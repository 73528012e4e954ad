#pragma once

#include <QString>

#include <atomic>

// What the executable does on the user's terminal: long commands show their
// progress there and stop cleanly on Ctrl+C.
namespace orv::cli {

// Whether standard error is a terminal (and so shows a progress line).
bool standardErrorIsTerminal();

// Writes the line on standard error over the one shown before (an empty
// line clears it).
void showProgressLine(const QString &line);

// From now on, Ctrl+C (and a request to terminate) sets the flag instead of
// ending the program at once; a second one ends it.
const std::atomic<bool> *catchInterrupt();

} // namespace orv::cli
