// Script forms of the room records: members, roles, templates, captions, cloud
// recordings and the small records of room events. Declared in the records'
// namespace so that list and map conversions find them.
#pragma once

#include <napi.h>

#include "sdk/room_context.h"

namespace parlo {

// Where a template record puts `permissions`: the fetched template lists roles
// first, a joined room's template permissions first.
enum class TemplateOrder { RolesFirst, PermissionsFirst };

Napi::Value to_js(Napi::Env env, const RoomRole& role);
// A null member becomes an empty object.
Napi::Value to_js(Napi::Env env, const RoomMemberPtr& member);
// The waiting room's shorter form of a member: uuid, role, avatar, name. A null
// member becomes an empty object.
Napi::Value waiting_member_to_js(Napi::Env env, const RoomMemberPtr& member);
Napi::Value to_js(Napi::Env env, const RoomPropertyPermission& permission);
Napi::Value to_js(Napi::Env env, const RoomTemplate& room_template, TemplateOrder order = TemplateOrder::RolesFirst);
// A null caption becomes an empty object.
Napi::Value to_js(Napi::Env env, const CaptionMessagePtr& caption);
Napi::Value to_js(Napi::Env env, const CloudRecordFile& file);
Napi::Value to_js(Napi::Env env, const CloudRecord& record);
Napi::Value to_js(Napi::Env env, const RtcAudioVolumeInfo& volume);
Napi::Value to_js(Napi::Env env, const RtcVideoStatsInfo& stats);
Napi::Value to_js(Napi::Env env, const ScreenCaptureSourceData& source);

}  // namespace parlo

namespace brimo {

// The payload of "onRoomPropertiesChanged": each key maps to `{ value }`.
struct ChangedRoomProperties {
  parlo::StringMap entries;
};

// The payload of "onRoomPropertiesDeleted": each key maps to its last value.
struct DeletedRoomProperties {
  parlo::StringMap entries;
};

Napi::Value to_js(Napi::Env env, const ChangedRoomProperties& properties);
// Also writes the trace line that reports how many properties went.
Napi::Value to_js(Napi::Env env, const DeletedRoomProperties& properties);

}  // namespace brimo
