#include "room/room_records.h"

#include "core/record_writer.h"
#include "core/to_js.h"
#include "core/trace.h"

namespace parlo {

using brimo::field;
using brimo::getter;
using brimo::KeyWriter;
using brimo::to_js;
using brimo::write_keys;

namespace {

const KeyWriter<RoomRole> kVideoKeys[] = {
    field<&RoomRole::videoWidth>("width"),
    field<&RoomRole::videoHeight>("height"),
    field<&RoomRole::videoFps>("fps"),
};

const KeyWriter<RoomRole> kAudioKeys[] = {
    field<&RoomRole::audioProfile>("profile"),
    field<&RoomRole::audioScenario>("scenario"),
};

// The screen flags reach script as the numbers 0 and 1, not as booleans.
const KeyWriter<RoomRole> kScreenKeys[] = {
    field<&RoomRole::screenVideoProfile>("videoProfile"),
    {"preferMotionFPS", [](Napi::Env env, const RoomRole& r) { return to_js(env, int32_t{r.screenPreferMotion}); }},
    {"preferDetailsFPS", [](Napi::Env env, const RoomRole& r) { return to_js(env, int32_t{r.screenPreferDetails}); }},
};

const KeyWriter<RoomPropertyPermission> kPermissionKeys[] = {
    field<&RoomPropertyPermission::name>("name"),
    field<&RoomPropertyPermission::roles>("roles"),
};

const KeyWriter<CaptionMessage> kCaptionKeys[] = {
    field<&CaptionMessage::content>("content"),
    field<&CaptionMessage::timestamp>("timestamp"),
    field<&CaptionMessage::fromUserUuid>("fromUserUuid"),
    field<&CaptionMessage::isFinal>("isFinal"),
    field<&CaptionMessage::translationContent>("translationContent"),
    field<&CaptionMessage::translationLanguage>("translationLanguage"),
};

const KeyWriter<CloudRecordFile> kCloudRecordFileKeys[] = {
    field<&CloudRecordFile::mixing>("mixing"),
    field<&CloudRecordFile::fileName>("fileName"),
    field<&CloudRecordFile::md5>("md5"),
    field<&CloudRecordFile::size>("size"),
    field<&CloudRecordFile::url>("url"),
    field<&CloudRecordFile::videoId>("videoId"),
    field<&CloudRecordFile::pieceIndex>("pieceIndex"),
    field<&CloudRecordFile::nickname>("nickname"),
};

const KeyWriter<CloudRecord> kCloudRecordKeys[] = {
    field<&CloudRecord::recordId>("recordId"),
    field<&CloudRecord::startTime>("startTime"),
    field<&CloudRecord::endTime>("endTime"),
    field<&CloudRecord::infoList>("infoList"),
};

const KeyWriter<RtcAudioVolumeInfo> kVolumeKeys[] = {
    field<&RtcAudioVolumeInfo::userUuid>("userUuid"),
    field<&RtcAudioVolumeInfo::volume>("volume"),
};

const KeyWriter<RtcVideoStatsInfo> kVideoStatsKeys[] = {
    field<&RtcVideoStatsInfo::userUuid>("userUuid"),
    field<&RtcVideoStatsInfo::layerType>("layerType"),
    field<&RtcVideoStatsInfo::width>("width"),
    field<&RtcVideoStatsInfo::height>("height"),
    field<&RtcVideoStatsInfo::frameRate>("frameRate"),
    field<&RtcVideoStatsInfo::bitRate>("bitRate"),
};

const KeyWriter<ScreenCaptureSourceData> kCaptureSourceKeys[] = {
    field<&ScreenCaptureSourceData::x>("x"),
    field<&ScreenCaptureSourceData::y>("y"),
    field<&ScreenCaptureSourceData::width>("width"),
    field<&ScreenCaptureSourceData::height>("height"),
};

const KeyWriter<IQVRoomMember> kMemberKeys[] = {
    getter<&IQVRoomMember::getUuid>("uuid"),
    getter<&IQVRoomMember::getRole>("role"),
    getter<&IQVRoomMember::getName>("name"),
    getter<&IQVRoomMember::isAudioConnected>("isAudioConnected"),
    getter<&IQVRoomMember::isAudioOn>("isAudioOn"),
    getter<&IQVRoomMember::isVideoOn>("isVideoOn"),
    getter<&IQVRoomMember::isInRtcChannel>("isInRtcChannel"),
    getter<&IQVRoomMember::isInChatroom>("isInChatroom"),
    getter<&IQVRoomMember::isSharingScreen>("isSharingScreen"),
    getter<&IQVRoomMember::isSharingWhiteboard>("isSharingWhiteboard"),
    getter<&IQVRoomMember::getInviteState>("inviteState"),
    getter<&IQVRoomMember::getInviteType>("inviteType"),
    getter<&IQVRoomMember::isInAppInviting>("isInAppInviting"),
    getter<&IQVRoomMember::isInSIPInviting>("isInSipInviting"),
    getter<&IQVRoomMember::isSharingSystemAudio>("isSharingSystemAudio"),
    getter<&IQVRoomMember::getProperties>("properties"),
    getter<&IQVRoomMember::getClientType>("clientType"),
    getter<&IQVRoomMember::getAvatar>("avatar"),
};

// The waiting room's shorter form.
const KeyWriter<IQVRoomMember> kWaitingMemberKeys[] = {
    getter<&IQVRoomMember::getUuid>("uuid"),
    getter<&IQVRoomMember::getRole>("role"),
    getter<&IQVRoomMember::getAvatar>("avatar"),
    getter<&IQVRoomMember::getName>("name"),
};

// { roles: [...] }, the shape of every stream permission.
Napi::Object roles_of(Napi::Env env, const StringList& roles) {
  Napi::Object object = Napi::Object::New(env);
  object.Set("roles", to_js(env, roles));
  return object;
}

Napi::Object member_permissions(Napi::Env env, const RoomTemplate& t) {
  Napi::Object properties = Napi::Object::New(env);
  properties.Set("whiteboard", to_js(env, t.memberWhiteboard));
  properties.Set("screenShare", to_js(env, t.memberScreenShare));
  Napi::Object streams = Napi::Object::New(env);
  streams.Set("video", roles_of(env, t.videoStreamRoles));
  streams.Set("audio", roles_of(env, t.audioStreamRoles));
  streams.Set("subVideo", roles_of(env, t.subVideoStreamRoles));
  Napi::Object member = Napi::Object::New(env);
  member.Set("properties", properties);
  member.Set("streams", streams);
  return member;
}

}  // namespace

Napi::Value to_js(Napi::Env env, const RoomRole& role) {
  Napi::Object params = Napi::Object::New(env);
  params.Set("video", write_keys(env, role, kVideoKeys));
  params.Set("audio", write_keys(env, role, kAudioKeys));
  params.Set("screen", write_keys(env, role, kScreenKeys));
  Napi::Object record = Napi::Object::New(env);
  record.Set("name", to_js(env, role.name));
  record.Set("limit", to_js(env, role.limit));
  record.Set("params", params);
  return record;
}

Napi::Value to_js(Napi::Env env, const RoomMemberPtr& member) {
  if (!member) return Napi::Object::New(env);
  return write_keys(env, *member, kMemberKeys);
}

Napi::Value waiting_member_to_js(Napi::Env env, const RoomMemberPtr& member) {
  if (!member) return Napi::Object::New(env);
  return write_keys(env, *member, kWaitingMemberKeys);
}

Napi::Value to_js(Napi::Env env, const RoomPropertyPermission& permission) {
  return write_keys(env, permission, kPermissionKeys);
}

Napi::Value to_js(Napi::Env env, const RoomTemplate& t, TemplateOrder order) {
  Napi::Value roles = to_js(env, t.roles);
  Napi::Object room = Napi::Object::New(env);
  room.Set("properties", to_js(env, t.roomPropertyPermissions));
  Napi::Object permissions = Napi::Object::New(env);
  permissions.Set("member", member_permissions(env, t));
  permissions.Set("room", room);
  Napi::Object record = Napi::Object::New(env);
  if (order == TemplateOrder::RolesFirst) record.Set("roles", roles);
  record.Set("permissions", permissions);
  if (order == TemplateOrder::PermissionsFirst) record.Set("roles", roles);
  return record;
}

Napi::Value to_js(Napi::Env env, const CaptionMessagePtr& caption) {
  if (!caption) return Napi::Object::New(env);
  return write_keys(env, *caption, kCaptionKeys);
}

Napi::Value to_js(Napi::Env env, const CloudRecordFile& file) { return write_keys(env, file, kCloudRecordFileKeys); }
Napi::Value to_js(Napi::Env env, const CloudRecord& record) { return write_keys(env, record, kCloudRecordKeys); }
Napi::Value to_js(Napi::Env env, const RtcAudioVolumeInfo& volume) { return write_keys(env, volume, kVolumeKeys); }
Napi::Value to_js(Napi::Env env, const RtcVideoStatsInfo& stats) { return write_keys(env, stats, kVideoStatsKeys); }
Napi::Value to_js(Napi::Env env, const ScreenCaptureSourceData& source) {
  return write_keys(env, source, kCaptureSourceKeys);
}

}  // namespace parlo

namespace brimo {

Napi::Value to_js(Napi::Env env, const ChangedRoomProperties& properties) {
  Napi::Object object = Napi::Object::New(env);
  for (const auto& [key, value] : properties.entries) {
    Napi::Object entry = Napi::Object::New(env);
    entry.Set("value", to_js(env, value));
    set_own(env, object, key, entry);
  }
  return object;
}

Napi::Value to_js(Napi::Env env, const DeletedRoomProperties& properties) {
  trace("onRoomPropertiesDeleted properties, %zu\n", properties.entries.size());
  return to_js(env, properties.entries);
}

}  // namespace brimo
