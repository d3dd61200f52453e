#include "core/errors.h"

#include "core/from_js.h"

namespace brimo {
namespace {

bool is(const Napi::Value& value, Arg arg) {
  switch (arg) {
    case Arg::Object: return is_object(value);
    case Arg::Function: return value.IsFunction();
    case Arg::String: return value.IsString();
    case Arg::Number: return value.IsNumber();
    case Arg::Boolean: return value.IsBoolean();
  }
  return false;
}

}  // namespace

bool check_args(const Napi::CallbackInfo& info, std::initializer_list<Arg> expected) {
  if (info.Length() < expected.size()) {
    raise_type_error(info.Env(), "Wrong number of arguments");
    return false;
  }
  return check_types(info, expected);
}

bool check_types(const Napi::CallbackInfo& info, std::initializer_list<Arg> expected) {
  size_t i = 0;
  for (Arg arg : expected) {
    if (!is(info[i++], arg)) {
      raise_type_error(info.Env(), "Wrong arguments");
      return false;
    }
  }
  return true;
}

}  // namespace brimo
