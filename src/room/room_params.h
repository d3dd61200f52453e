// Reading the parameter records of room creation, joining and cloud recording
// from script objects: each key read only when present, absent keys keeping the
// record's defaults; and the map rule for objects of string values.
#pragma once

#include <napi.h>

#include <cstddef>

#include "core/record_reader.h"
#include "sdk/room_context.h"

namespace brimo {

// Reads the keys of `value` into `record`. Values are not checked to be objects:
// the presence test on a non-object raises the runtime's error and the record
// keeps its defaults.
template <class Record, size_t N>
void read_record(Napi::Env env, const Napi::Value& value, const KeyReader<Record> (&keys)[N], Record& record) {
  Napi::Object from = value.IsEmpty() ? Napi::Object::New(env) : Napi::Object(env, value);
  read_keys(from, keys, record);
}

// A record of `defaults` with the present keys of `value` read over it.
template <class Record, size_t N>
Record record_from(Napi::Env env, const Napi::Value& value, const KeyReader<Record> (&keys)[N], Record defaults = {}) {
  read_record(env, value, keys, defaults);
  return defaults;
}

parlo::CreateRoomParams read_create_params(Napi::Env env, const Napi::Value& value);
parlo::CreateRoomOptions read_create_options(Napi::Env env, const Napi::Value& value);
parlo::JoinRoomParams read_join_params(Napi::Env env, const Napi::Value& value);
parlo::JoinRoomOptions read_join_options(Napi::Env env, const Napi::Value& value);
parlo::CloudRecordConfig read_cloud_record_config(Napi::Env env, const Napi::Value& value);

}  // namespace brimo

// The records as method arguments: found by the binder next to the records.
namespace parlo {

inline void read_value(const Napi::Value& v, CreateRoomParams& out) { out = brimo::read_create_params(v.Env(), v); }
inline void read_value(const Napi::Value& v, CreateRoomOptions& out) { out = brimo::read_create_options(v.Env(), v); }
inline void read_value(const Napi::Value& v, CloudRecordConfig& out) {
  out = brimo::read_cloud_record_config(v.Env(), v);
}

}  // namespace parlo
