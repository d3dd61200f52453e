#include "core/from_js.h"

namespace brimo {

std::string utf8(const Napi::Value& value) {
  if (value.IsEmpty()) return {};
  return value.As<Napi::String>().Utf8Value();
}

int32_t int32(const Napi::Value& value) {
  if (value.IsEmpty()) return 0;
  return value.As<Napi::Number>().Int32Value();
}

uint32_t uint32(const Napi::Value& value) {
  if (value.IsEmpty()) return 0;
  return value.As<Napi::Number>().Uint32Value();
}

int64_t int64_from_double(const Napi::Value& value) {
  if (value.IsEmpty()) return 0;
  return value.As<Napi::Number>().Int64Value();
}

double number(const Napi::Value& value) {
  if (value.IsEmpty()) return 0;
  return value.As<Napi::Number>().DoubleValue();
}

bool boolean(const Napi::Value& value) {
  if (value.IsEmpty()) return false;
  return value.As<Napi::Boolean>().Value();
}

bool truthy(const Napi::Value& value) {
  if (value.IsEmpty()) return false;
  return value.ToBoolean().Value();
}

std::string coerced_string(const Napi::Value& value) {
  if (value.IsEmpty()) return {};
  return value.ToString().Utf8Value();
}

}  // namespace brimo
