// Conversions from SDK values into script values: one overload set, extended by
// each record's own to_js next to its declaration, and used wherever that value
// reaches script (returns, completions, events).
#pragma once

#include <napi.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace brimo {

inline Napi::Value to_js(Napi::Env env, bool value) { return Napi::Boolean::New(env, value); }
inline Napi::Value to_js(Napi::Env env, int32_t value) { return Napi::Number::New(env, value); }
inline Napi::Value to_js(Napi::Env env, uint32_t value) { return Napi::Number::New(env, value); }
inline Napi::Value to_js(Napi::Env env, int64_t value) {
  return Napi::Number::New(env, static_cast<double>(value));
}
inline Napi::Value to_js(Napi::Env env, uint64_t value) {
  return Napi::Number::New(env, static_cast<double>(value));
}
inline Napi::Value to_js(Napi::Env env, double value) { return Napi::Number::New(env, value); }
inline Napi::Value to_js(Napi::Env env, const std::string& value) {
  return Napi::String::New(env, value);
}
inline Napi::Value to_js(Napi::Env env, const char* value) { return Napi::String::New(env, value); }

template <class T>
Napi::Value to_js(Napi::Env env, const std::vector<T>& list);
template <class T>
Napi::Value to_js(Napi::Env env, const std::list<T>& list);
template <class V>
Napi::Value to_js(Napi::Env env, const std::map<std::string, V>& map);
template <class V>
Napi::Value to_js(Napi::Env env, const std::unordered_map<std::string, V>& map);

template <class Sequence>
Napi::Value sequence_to_js(Napi::Env env, const Sequence& items) {
  Napi::Array array = Napi::Array::New(env, items.size());
  uint32_t i = 0;
  for (const auto& item : items) array.Set(i++, to_js(env, item));
  return array;
}

// Makes `key` an own, enumerable, writable property of `object`, whatever the key
// says: SDK maps carry keys written by other members, so "__proto__" must stay an
// entry rather than replace the prototype, and a key keeps its full length.
inline void set_own(Napi::Env env, Napi::Object object, const std::string& key, Napi::Value value) {
  napi_property_descriptor entry{};
  entry.name = Napi::String::New(env, key);
  entry.value = value;
  entry.attributes = static_cast<napi_property_attributes>(napi_writable | napi_enumerable | napi_configurable);
  napi_define_properties(env, object, 1, &entry);
}

template <class Map>
Napi::Value map_to_js(Napi::Env env, const Map& map) {
  Napi::Object object = Napi::Object::New(env);
  for (const auto& [key, value] : map) set_own(env, object, key, to_js(env, value));
  return object;
}

template <class T>
Napi::Value to_js(Napi::Env env, const std::vector<T>& list) { return sequence_to_js(env, list); }
template <class T>
Napi::Value to_js(Napi::Env env, const std::list<T>& list) { return sequence_to_js(env, list); }
template <class V>
Napi::Value to_js(Napi::Env env, const std::map<std::string, V>& map) { return map_to_js(env, map); }
template <class V>
Napi::Value to_js(Napi::Env env, const std::unordered_map<std::string, V>& map) {
  return map_to_js(env, map);
}

// The default converter of completions and events: the to_js overload of the value.
struct DefaultToJs {
  template <class T>
  Napi::Value operator()(Napi::Env env, const T& value) const { return to_js(env, value); }
};

}  // namespace brimo
