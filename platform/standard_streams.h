#pragma once

#include <string>

// Where the process's own log lines go: standard output and standard error.
// A Windows GUI program has neither (no console), so a log file stands in.
namespace platform {

// From this call on, sends standard output and standard error to the end of
// the file `path`, created when missing. Both streams are unbuffered, so every
// line is in the file as soon as it is written and the two keep their order.
// Returns false, leaving both streams as they were, when the file cannot be
// opened for appending.
bool redirectStandardStreams(const std::wstring& path);

} // namespace platform
