// Conversions from script values into SDK values. Unchecked conversions never
// coerce: a value of another type raises the runtime's own error (pending) and
// yields "", 0 or false, and the method carries on as the system's rules say.
#pragma once

#include <napi.h>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

namespace brimo {

std::string utf8(const Napi::Value& value);
int32_t int32(const Napi::Value& value);
uint32_t uint32(const Napi::Value& value);
int64_t int64_from_double(const Napi::Value& value);
double number(const Napi::Value& value);
bool boolean(const Napi::Value& value);
// Any value counts by its truthiness.
bool truthy(const Napi::Value& value);
// Numbers and booleans become their text, as String(value) would.
std::string coerced_string(const Napi::Value& value);

// Reads object[key] / object[index]. A failed read (the object is not one, a getter
// throws) raises the runtime's error and yields an empty value that still knows its
// environment: node-addon-api's own failed reads yield values without one, and any
// call on those aborts the process.
Napi::Value property(Napi::Env env, const Napi::Value& object, const char* key);
Napi::Value property(Napi::Env env, const Napi::Value& object, const Napi::Value& key);
Napi::Value element(Napi::Env env, const Napi::Value& object, uint32_t index);

// An array of strings: its length, then each element from index 0, read as a string.

template <class List>
List string_list(const Napi::Value& value) {
  List list;
  if (value.IsEmpty()) return list;
  Napi::Env env = value.Env();
  uint32_t length = 0;
  if (napi_get_array_length(env, value, &length) != napi_ok) {
    Napi::Error::New(env).ThrowAsJavaScriptException();
    return list;
  }
  for (uint32_t i = 0; i < length; ++i) list.push_back(utf8(element(env, value, i)));
  return list;
}

// Presence test as script's `in`: inherited properties, and properties whose value
// is undefined, count as present.
bool has(const Napi::Value& object, const char* key);

inline bool is_object(const Napi::Value& value) {
  return value.Type() == napi_object || value.IsFunction();
}

}  // namespace brimo
