#include "room/room_params.h"

#include "core/from_js.h"

namespace brimo {
namespace {

using parlo::CloudRecordConfig;
using parlo::CreateRoomOptions;
using parlo::CreateRoomParams;
using parlo::JoinRoomOptions;
using parlo::JoinRoomParams;

template <auto Member>
void read_map_member(const Napi::Value& value, record_of<Member>& record) {
  read_value(value, record.*Member);
}

// A key read by the map rule.
template <auto Member>
constexpr KeyReader<record_of<Member>> map_key(const char* name) {
  return {name, &read_map_member<Member>};
}

// Elements that are not objects are skipped; an object without a numeric `mode`
// stands for mode 0.
void read_mode_list(const Napi::Value& value, CloudRecordConfig& config) {
  // The length is read again at every step (a getter may change it), within the limit.
  for (uint32_t i = 0; i < list_length(value); ++i) {
    Napi::Value entry = element(value.Env(), value, i);
    if (!is_object(entry)) continue;
    Napi::Value mode = has(entry, "mode") ? property(value.Env(), entry, "mode") : value.Env().Undefined();
    config.modeList.push_back(!mode.IsEmpty() && mode.IsNumber() ? uint32(mode) : 0);
  }
}

const KeyReader<CreateRoomParams> kCreateParamsKeys[] = {
    key<&CreateRoomParams::roomUuid>("roomUuid"),
    key<&CreateRoomParams::roomName>("roomName"),
    key<&CreateRoomParams::password>("password"),
    key<&CreateRoomParams::templateId>("templateId"),
    map_key<&CreateRoomParams::initialProperties>("initialProperties"),
};

const KeyReader<CreateRoomOptions> kCreateOptionsKeys[] = {
    key<&CreateRoomOptions::enableRecord>("enableRecord"),
    key<&CreateRoomOptions::enableLive>("enableLive"),
    key<&CreateRoomOptions::enableRtc>("enableRtc"),
    key<&CreateRoomOptions::enableChatroom>("enableChatroom"),
    key<&CreateRoomOptions::enableWhiteboard>("enableWhiteboard"),
};

const KeyReader<JoinRoomParams> kJoinParamsKeys[] = {
    key<&JoinRoomParams::roomUuid>("roomUuid"),
    key<&JoinRoomParams::userName>("userName"),
    key<&JoinRoomParams::avatar>("avatar"),
    key<&JoinRoomParams::role>("role"),
    key<&JoinRoomParams::password>("password"),
    map_key<&JoinRoomParams::initialProperties>("initialProperties"),
};

const KeyReader<JoinRoomOptions> kJoinOptionsKeys[] = {
    key<&JoinRoomOptions::enableMyAudioDeviceOnJoinRtc>("enableMyAudioDeviceOnJoinRtc"),
};

const KeyReader<CloudRecordConfig> kCloudRecordKeys[] = {
    key<&CloudRecordConfig::rtcRecordType>("rtcRecordType"),
    {"modeList", &read_mode_list},
};

}  // namespace

parlo::CreateRoomParams read_create_params(Napi::Env env, const Napi::Value& value) {
  CreateRoomParams params;
  params.reservedInt = -1;  // no key sets it; the SDK is always handed -1
  return record_from(env, value, kCreateParamsKeys, params);
}

parlo::CreateRoomOptions read_create_options(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kCreateOptionsKeys);
}

parlo::JoinRoomParams read_join_params(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kJoinParamsKeys);
}

parlo::JoinRoomOptions read_join_options(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kJoinOptionsKeys);
}

parlo::CloudRecordConfig read_cloud_record_config(Napi::Env env, const Napi::Value& value) {
  return record_from(env, value, kCloudRecordKeys);
}

}  // namespace brimo
