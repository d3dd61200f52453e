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

// The object's enumerable string keys, inherited ones included, each with its
// value read as a string; ordered by key.
parlo::StringMap read_string_map(const Napi::Value& value);

parlo::CreateRoomParams read_create_params(Napi::Env env, const Napi::Value& value);
parlo::CreateRoomOptions read_create_options(Napi::Env env, const Napi::Value& value);
parlo::JoinRoomParams read_join_params(Napi::Env env, const Napi::Value& value);
parlo::JoinRoomOptions read_join_options(Napi::Env env, const Napi::Value& value);
parlo::CloudRecordConfig read_cloud_record_config(Napi::Env env, const Napi::Value& value);

}  // namespace brimo
