// Trace lines: short diagnostic lines on standard output, written unconditionally
// and written out at once so they keep the order of the steps, also through a full
// non-blocking pipe.
#pragma once

#include <string>

namespace brimo {

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Writes `line` whole, in one write: for lines that carry text from the SDK, which
// may hold any byte, NUL included.
void trace_text(const std::string& line);

}  // namespace brimo
