#include "collab/live_records.h"

#include "core/bind.h"
#include "core/record_reader.h"
#include "core/record_writer.h"
#include "room/room_params.h"

namespace brimo {
namespace {

using parlo::LiveBackground;
using parlo::LiveRecord;

// Every key of a live record is coerced as script's own conversions would: a layout
// of "3" is 3, a title of 7 is "7".
template <auto Member>
void read_coerced_member(const Napi::Value& value, record_of<Member>& record) {
  record.*Member = bind_detail::read_coerced<typename member_traits<decltype(Member)>::type>(value);
}

template <auto Member>
constexpr KeyReader<record_of<Member>> coerced_key(const char* name) {
  return {name, &read_coerced_member<Member>};
}

// Each element coerced to a string; a value that is not an array is no list at all.
void read_user_list(const Napi::Value& value, LiveRecord& live) {
  live.userUuidList.clear();
  if (value.IsEmpty() || !value.IsArray()) return;
  // The length is read again at every step (a getter may change it), within the limit.
  for (uint32_t i = 0; i < list_length(value); ++i) {
    live.userUuidList.push_back(coerced_string(element(value.Env(), value, i)));
  }
}

// A start reads enableThirdParties between these two, an update does not read it.
const KeyReader<LiveRecord> kHeadKeys[] = {
    coerced_key<&LiveRecord::title>("title"),
    coerced_key<&LiveRecord::password>("password"),
};
const KeyReader<LiveRecord> kThirdPartiesKey[] = {
    coerced_key<&LiveRecord::enableThirdParties>("enableThirdParties"),
};
const KeyReader<LiveRecord> kTailKeys[] = {
    coerced_key<&LiveRecord::extensionConfig>("extensionConfig"),
    coerced_key<&LiveRecord::liveLayout>("liveLayout"),
    {"userUuidList", &read_user_list},
};

LiveRecord read_live(const Napi::Value& value, bool third_parties) {
  LiveRecord live;
  read_record(value.Env(), value, kHeadKeys, live);
  if (third_parties) read_record(value.Env(), value, kThirdPartiesKey, live);
  read_record(value.Env(), value, kTailKeys, live);
  return live;
}

const KeyReader<LiveBackground> kBackgroundReadKeys[] = {
    coerced_key<&LiveBackground::backgroundUrl>("backgroundUrl"),
    coerced_key<&LiveBackground::coverUrl>("coverUrl"),
    coerced_key<&LiveBackground::thumbnailBackgroundUrl>("thumbnailBackgroundUrl"),
    coerced_key<&LiveBackground::thumbnailCoverUrl>("thumbnailCoverUrl"),
};

const KeyWriter<LiveRecord> kAddressKeys[] = {
    field<&LiveRecord::taskId>("taskId"),
    field<&LiveRecord::pushUrl>("pushUrl"),
    field<&LiveRecord::pullHlsUrl>("pullHlsUrl"),
    field<&LiveRecord::pullHttpUrl>("pullHttpUrl"),
    field<&LiveRecord::pullRtmpUrl>("pullRtmpUrl"),
    field<&LiveRecord::pullRtsUrl>("pullRtsUrl"),
};

// The live information: these, the addresses, then the rest.
const KeyWriter<LiveRecord> kInfoHeadKeys[] = {
    field<&LiveRecord::title>("title"),
    field<&LiveRecord::password>("password"),
};
const KeyWriter<LiveRecord> kInfoTailKeys[] = {
    field<&LiveRecord::state>("state"),
    field<&LiveRecord::extensionConfig>("extensionConfig"),
    field<&LiveRecord::liveLayout>("liveLayout"),
    field<&LiveRecord::userUuidList>("userUuidList"),
};

const KeyWriter<LiveBackground> kBackgroundKeys[] = {
    field<&LiveBackground::backgroundUrl>("backgroundUrl"),
    field<&LiveBackground::coverUrl>("coverUrl"),
    field<&LiveBackground::thumbnailBackgroundUrl>("thumbnailBackgroundUrl"),
    field<&LiveBackground::thumbnailCoverUrl>("thumbnailCoverUrl"),
    field<&LiveBackground::backgroundUpdatedSequence>("backgroundUpdatedSequence"),
};

}  // namespace

parlo::LiveRecord read_live_update(const Napi::Value& value) { return read_live(value, false); }

Napi::Value live_addresses_to_js(Napi::Env env, const parlo::LiveRecord& live) {
  return write_keys(env, live, kAddressKeys);
}

}  // namespace brimo

namespace parlo {

Napi::Value to_js(Napi::Env env, const LiveRecord& live) {
  Napi::Object info = Napi::Object::New(env);
  brimo::write_keys_into(env, info, live, brimo::kInfoHeadKeys);
  brimo::write_keys_into(env, info, live, brimo::kAddressKeys);
  brimo::write_keys_into(env, info, live, brimo::kInfoTailKeys);
  return info;
}

Napi::Value to_js(Napi::Env env, const LiveBackground& background) {
  return brimo::write_keys(env, background, brimo::kBackgroundKeys);
}

void read_value(const Napi::Value& v, LiveRecord& out) { out = brimo::read_live(v, true); }

void read_value(const Napi::Value& v, LiveBackground& out) {
  out = LiveBackground{};
  brimo::read_record(v.Env(), v, brimo::kBackgroundReadKeys, out);
}

}  // namespace parlo
