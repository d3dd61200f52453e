// The SDK's room records: roles, templates, captions, the parameters of room
// creation and join, cloud recording, and the small records that room events carry.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

namespace parlo {

using StringMap = std::map<std::string, std::string>;
using StringList = std::list<std::string>;

struct RoomRole {
  std::string name;
  int32_t limit = 0;
  int32_t videoWidth = 0;
  int32_t videoHeight = 0;
  int32_t videoFps = 0;
  std::string audioProfile;
  std::string audioScenario;
  std::string screenVideoProfile;
  bool screenPreferMotion = false;
  bool screenPreferDetails = false;
};

struct RoomPropertyPermission {
  std::string name;
  StringList roles;
};

struct RoomTemplate {
  std::list<RoomRole> roles;
  StringList memberWhiteboard;
  StringList memberScreenShare;
  StringList audioStreamRoles;
  StringList videoStreamRoles;
  StringList subVideoStreamRoles;
  std::list<RoomPropertyPermission> roomPropertyPermissions;
};

struct CaptionMessage {
  std::string content;
  uint64_t timestamp = 0;
  std::string fromUserUuid;
  bool isFinal = false;
  std::string translationContent;
  int32_t translationLanguage = 0;
};
using CaptionMessagePtr = std::shared_ptr<CaptionMessage>;

struct CreateRoomParams {
  std::string roomUuid;
  std::string roomName;
  std::string password;
  int32_t reservedInt = 0;  // no key sets it; the binding passes -1
  uint32_t templateId = 0;
  StringMap initialProperties;
};

struct CreateRoomOptions {
  bool enableRecord = false;
  bool enableLive = false;
  bool enableRtc = true;
  bool enableChatroom = false;
  bool enableWhiteboard = false;
  // Set by no key: left empty and 0.
  StringMap extraOptions;
  uint8_t reservedFlag1 = 0;
  uint8_t reservedFlag2 = 0;
  uint8_t reservedFlag3 = 0;
};

struct JoinRoomParams {
  std::string roomUuid;
  std::string userName;
  std::string avatar;
  std::string role;
  std::string password;
  StringMap initialProperties;
};

struct JoinRoomOptions {
  bool enableMyAudioDeviceOnJoinRtc = false;
};

struct CloudRecordConfig {
  uint32_t rtcRecordType = 0;
  std::list<uint32_t> modeList;
};

struct CloudRecordFile {
  bool mixing = false;
  std::string fileName;
  std::string md5;
  uint32_t size = 0;
  std::string url;
  int64_t videoId = 0;
  uint32_t pieceIndex = 0;
  std::string nickname;
};

struct CloudRecord {
  std::string recordId;
  int64_t startTime = 0;
  int64_t endTime = 0;
  std::list<CloudRecordFile> infoList;
};

// One user's audio volume.
struct RtcAudioVolumeInfo {
  std::string userUuid;
  int32_t volume = 0;
};

// Video figures of one user's stream layer.
struct RtcVideoStatsInfo {
  std::string userUuid;
  uint32_t layerType = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t frameRate = 0;
  uint32_t bitRate = 0;
};

// The shared screen's capture source; the binding reads only its geometry.
struct ScreenCaptureSourceData {
  int32_t type = 0;
  int64_t sourceId = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

}  // namespace parlo
