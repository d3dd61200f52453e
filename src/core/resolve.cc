#include "core/resolve.h"

#include "core/errors.h"
#include "core/trace.h"

namespace brimo {

void NullReport::report(Napi::Env env, const char* link) const {
  std::string text = prefix;
  if (names_link) text += (text.empty() ? "" : " ") + std::string(link);
  if (action == Action::Print) {
    trace("%s is null\n", text.c_str());
    return;
  }
  if (trace_missing != nullptr) trace_missing(link);
  text += (text.empty() ? "" : " ") + std::string("Null pointer exception");
  raise_type_error(env, text.c_str());
}

}  // namespace brimo
