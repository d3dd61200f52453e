// Trace lines: short diagnostic lines on standard output, written unconditionally
// and flushed at once so they keep the order of the steps, also through a pipe.
#pragma once

namespace brimo {

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace brimo
