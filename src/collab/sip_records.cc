#include "collab/sip_records.h"

#include "core/record_reader.h"
#include "core/record_writer.h"
#include "room/room_params.h"

namespace brimo {

using parlo::RoomSystemDevice;

namespace {

const KeyReader<RoomSystemDevice> kDeviceKeys[] = {
    key<&RoomSystemDevice::protocol>("protocol"),
    key<&RoomSystemDevice::deviceAddress>("deviceAddress"),
    key<&RoomSystemDevice::name>("name"),
};

}  // namespace

parlo::RoomSystemDevice read_room_system_device(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kDeviceKeys);
}

}  // namespace brimo

namespace parlo {

namespace {

const brimo::KeyWriter<SIPCallInfo> kCallKeys[] = {
    brimo::field<&SIPCallInfo::userUuid>("userUuid"),
    brimo::field<&SIPCallInfo::name>("name"),
    brimo::field<&SIPCallInfo::isRepeatedCall>("isRepeatedCall"),
};

}  // namespace

Napi::Value to_js(Napi::Env env, const SIPCallInfo& call) { return brimo::write_keys(env, call, kCallKeys); }

}  // namespace parlo
