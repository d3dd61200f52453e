#include "core/trace.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <vector>

#if !defined(_WIN32)
#include <poll.h>
#include <unistd.h>
#endif

namespace brimo {

namespace {

// The runtime makes a piped standard output non-blocking and writes its own lines
// through it synchronously, waiting while the pipe is full. stdio would instead keep
// a line that met a full pipe in its buffer and let it out after lines script writes
// meanwhile; so a line is written out here, whole, waiting for room the same way.
void write_out(const char* data, size_t size) {
#if defined(_WIN32)
  std::fwrite(data, 1, size, stdout);
  std::fflush(stdout);
#else
  std::fflush(stdout);  // whatever stdio holds from elsewhere goes first
  while (size > 0) {
    const ssize_t written = ::write(STDOUT_FILENO, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<size_t>(written);
    } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      pollfd out{STDOUT_FILENO, POLLOUT, 0};
      ::poll(&out, 1, -1);
    } else if (written < 0 && errno == EINTR) {
      continue;
    } else {
      return;  // closed or failing: the line is lost, as printf would lose it
    }
  }
#endif
}

}  // namespace

void trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  // Lines are short: the stack holds them, a longer one is formatted again on the heap.
  char small[256];
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length > 0 && static_cast<size_t>(length) < sizeof small) {
    write_out(small, static_cast<size_t>(length));
  } else if (length > 0) {
    std::vector<char> line(static_cast<size_t>(length) + 1);
    std::vsnprintf(line.data(), line.size(), format, again);
    write_out(line.data(), static_cast<size_t>(length));
  }
  va_end(again);
}

void trace_text(const std::string& line) { write_out(line.data(), line.size()); }

}  // namespace brimo
