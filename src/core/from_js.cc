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

namespace {

Napi::Value checked(Napi::Env env, napi_status status, napi_value result) {
  if (status != napi_ok) {
    // Error::New reads the failed call's own error info, and rethrows an exception
    // that was already pending instead.
    Napi::Error::New(env).ThrowAsJavaScriptException();
    return Napi::Value(env, nullptr);
  }
  return Napi::Value(env, result);
}

}  // namespace

Napi::Value property(Napi::Env env, const Napi::Value& object, const char* key) {
  napi_value result = nullptr;
  napi_status status = napi_get_named_property(env, object, key, &result);
  return checked(env, status, result);
}

Napi::Value element(Napi::Env env, const Napi::Value& object, uint32_t index) {
  napi_value result = nullptr;
  napi_status status = napi_get_element(env, object, index, &result);
  return checked(env, status, result);
}

}  // namespace brimo
