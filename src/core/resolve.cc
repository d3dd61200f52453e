#include "core/resolve.h"

#include "core/errors.h"
#include "core/trace.h"

namespace brimo {

void NullReport::report(Napi::Env env, const char* link) const {
  std::string text = prefix;
  if (form != Form::Bare && link[0] != '\0') text += (text.empty() ? "" : " ") + std::string(link);
  if (form == Form::Printed) {
    trace_text(text + " is null\n");
    return;
  }
  if (before != nullptr) before(link);
  text += (text.empty() ? "" : " ") + std::string("Null pointer exception");
  raise_type_error(env, text.c_str());
}

}  // namespace brimo
