// Reading SDK records from plain script objects, key by key: a key is read only
// when the presence test finds it, in table order, and an absent key keeps the
// record's default. A record states its keys once as a table:
//   static const KeyReader<Rec> kKeys[] = {key<&Rec::name>("name"), ...};
#pragma once

#include <napi.h>

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "core/from_js.h"

namespace brimo {

// The unchecked conversion of each SDK field type.
inline void read_value(const Napi::Value& v, std::string& out) { out = utf8(v); }
inline void read_value(const Napi::Value& v, bool& out) { out = boolean(v); }
inline void read_value(const Napi::Value& v, int32_t& out) { out = int32(v); }
inline void read_value(const Napi::Value& v, uint32_t& out) { out = uint32(v); }
inline void read_value(const Napi::Value& v, int64_t& out) { out = int64_from_double(v); }
inline void read_value(const Napi::Value& v, double& out) { out = number(v); }
// The nearest 32-bit float to the number.
inline void read_value(const Napi::Value& v, float& out) { out = static_cast<float>(number(v)); }
inline void read_value(const Napi::Value& v, std::list<std::string>& out) {
  out = string_list<std::list<std::string>>(v);
}
inline void read_value(const Napi::Value& v, std::vector<std::string>& out) {
  out = string_list<std::vector<std::string>>(v);
}
inline void read_value(const Napi::Value& v, std::map<std::string, std::string>& out) { out = string_map(v); }

template <class M>
struct member_traits;
template <class C, class T>
struct member_traits<T C::*> {
  using record = C;
  using type = T;
};
template <auto Member>
using record_of = typename member_traits<decltype(Member)>::record;

template <class Record>
struct KeyReader {
  const char* key;
  void (*read)(const Napi::Value& value, Record& record);
};

template <auto Member>
void read_member(const Napi::Value& value, record_of<Member>& record) {
  read_value(value, record.*Member);
}

// A key read by the field type's own conversion.
template <auto Member>
constexpr KeyReader<record_of<Member>> key(const char* name) {
  return {name, &read_member<Member>};
}

// Reads every present key of `keys` from `from` into `to`, in table order.
template <class Record, size_t N>
void read_keys(const Napi::Object& from, const KeyReader<Record> (&keys)[N], Record& to) {
  for (const auto& k : keys) {
    // A getter that throws leaves a value that still knows its environment.
    if (has(from, k.key)) k.read(property(from.Env(), from, k.key), to);
  }
}

}  // namespace brimo
