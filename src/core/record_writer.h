// Writing SDK records into plain script objects, key by key in table order, each
// field by its own to_js. A record states its keys once as a table:
//   const KeyWriter<Rec> kKeys[] = {field<&Rec::name>("name"), ...};
//   return write_keys(env, record, kKeys);
// Records read through getters use getter<&Rec::getName>("name") the same way. A key
// whose value is not a plain field gets its own writer function instead.
#pragma once

#include <napi.h>

#include <cstddef>

#include "core/record_reader.h"
#include "core/to_js.h"

namespace brimo {

template <class Record>
struct KeyWriter {
  const char* key;
  Napi::Value (*write)(Napi::Env env, const Record& record);
};

template <auto Member>
Napi::Value write_member(Napi::Env env, const record_of<Member>& record) {
  return to_js(env, record.*Member);
}

template <auto Member>
constexpr KeyWriter<record_of<Member>> field(const char* name) {
  return {name, &write_member<Member>};
}

template <class Getter>
struct getter_traits;
template <class C, class T>
struct getter_traits<T (C::*)() const> {
  using record = C;
};

template <auto Getter>
Napi::Value write_getter(Napi::Env env, const typename getter_traits<decltype(Getter)>::record& record) {
  return to_js(env, (record.*Getter)());
}

// A key of a record read through its getters (an SDK interface rather than a struct).
template <auto Getter>
constexpr KeyWriter<typename getter_traits<decltype(Getter)>::record> getter(const char* name) {
  return {name, &write_getter<Getter>};
}

// Sets the keys of `keys` on `object`, in table order.
template <class Record, size_t N>
void write_keys_into(Napi::Env env, Napi::Object& object, const Record& record, const KeyWriter<Record> (&keys)[N]) {
  for (const auto& k : keys) object.Set(k.key, k.write(env, record));
}

template <class Record, size_t N>
Napi::Object write_keys(Napi::Env env, const Record& record, const KeyWriter<Record> (&keys)[N]) {
  Napi::Object object = Napi::Object::New(env);
  write_keys_into(env, object, record, keys);
  return object;
}

}  // namespace brimo
