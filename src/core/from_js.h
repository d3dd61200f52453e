// Conversions from script values into SDK values. Unchecked conversions never
// coerce: a value of another type raises the runtime's own error (pending) and
// yields "", 0 or false, and the method carries on as the system's rules say.
#pragma once

#include <napi.h>

#include <cstdint>
#include <list>
#include <map>
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

// Raises the error of the Node-API call that just failed (or keeps the one pending).
void raise_failed(napi_env env);

// An array's length; anything else raises the runtime's error and reads as 0.
uint32_t array_length(const Napi::Value& value);

// The most entries a list or map argument may have: far above any real list of
// members, modes, user ids or properties. It is checked against the length or the
// key count before any entry is read, so a hostile `length` costs nothing.
constexpr uint32_t kMaxEntries = 100000;

// Raises the error of a list or map argument with more than kMaxEntries entries.
void raise_too_many(Napi::Env env);

// A list argument's length: not an array, or longer than kMaxEntries, raises an
// error and reads as 0.
uint32_t list_length(const Napi::Value& value);

// An array of strings: its length, then each element from index 0, read as a string.
template <class List>
List string_list(const Napi::Value& value) {
  List list;
  uint32_t length = list_length(value);
  for (uint32_t i = 0; i < length; ++i) list.push_back(utf8(element(value.Env(), value, i)));
  return list;
}

// The enumerable string-keyed property names of `object`, inherited ones too, in
// order. null and undefined raise the runtime's error; other values that are not
// objects (strings, numbers, booleans, symbols, bigints) have none: they are never
// walked. More than kMaxEntries names raise an error and read as none; a typed
// array's length is checked before its names are made.
Napi::Value property_names(const Napi::Value& object);

// Calls fn(name) for every name of property_names(object).
template <class Fn>
void each_property_name(const Napi::Value& object, Fn fn) {
  Napi::Value names = property_names(object);
  if (names.IsEmpty()) return;
  uint32_t count = array_length(names);
  for (uint32_t i = 0; i < count; ++i) fn(element(object.Env(), names, i));
}

// The object's enumerable string keys, inherited ones included, each with its
// value read as a string; ordered by key.
std::map<std::string, std::string> string_map(const Napi::Value& value);

// Presence test as script's `in`: inherited properties, and properties whose value
// is undefined, count as present.
bool has(const Napi::Value& object, const char* key);

inline bool is_object(const Napi::Value& value) {
  return value.Type() == napi_object || value.IsFunction();
}

}  // namespace brimo
