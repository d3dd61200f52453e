// Room, chat and statistics records as JSON, declared once per record. Every
// record reads with defaults, so script may give only the fields it cares about;
// objects the SDK hands out by shared reference (members, chat messages,
// captions) read from JSON as new objects, and from null as null references.
#pragma once

#include <nlohmann/json.hpp>

#include <memory>

#include "sdk/chat_message.h"
#include "sdk/room_member.h"
#include "sdk/room_records.h"
#include "sdk/rtc_stats_listener.h"

namespace parlo {

// A role reads from its full record or from its name alone ("host").
inline void to_json(nlohmann::json& j, const RoomRole& r) {
  j = nlohmann::json{{"name", r.name},
                     {"limit", r.limit},
                     {"videoWidth", r.videoWidth},
                     {"videoHeight", r.videoHeight},
                     {"videoFps", r.videoFps},
                     {"audioProfile", r.audioProfile},
                     {"audioScenario", r.audioScenario},
                     {"screenVideoProfile", r.screenVideoProfile},
                     {"screenPreferMotion", r.screenPreferMotion},
                     {"screenPreferDetails", r.screenPreferDetails}};
}
inline void from_json(const nlohmann::json& j, RoomRole& r) {
  r = RoomRole{};
  if (j.is_string()) {
    r.name = j.get<std::string>();
    return;
  }
  r.name = j.value("name", r.name);
  r.limit = j.value("limit", r.limit);
  r.videoWidth = j.value("videoWidth", r.videoWidth);
  r.videoHeight = j.value("videoHeight", r.videoHeight);
  r.videoFps = j.value("videoFps", r.videoFps);
  r.audioProfile = j.value("audioProfile", r.audioProfile);
  r.audioScenario = j.value("audioScenario", r.audioScenario);
  r.screenVideoProfile = j.value("screenVideoProfile", r.screenVideoProfile);
  r.screenPreferMotion = j.value("screenPreferMotion", r.screenPreferMotion);
  r.screenPreferDetails = j.value("screenPreferDetails", r.screenPreferDetails);
}

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RoomPropertyPermission, name, roles)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RoomTemplate, roles, memberWhiteboard, memberScreenShare,
                                                audioStreamRoles, videoStreamRoles, subVideoStreamRoles,
                                                roomPropertyPermissions)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CaptionMessage, content, timestamp, fromUserUuid, isFinal,
                                                translationContent, translationLanguage)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CreateRoomParams, roomUuid, roomName, password, reservedInt,
                                                templateId, initialProperties)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CreateRoomOptions, enableRecord, enableLive, enableRtc,
                                                enableChatroom, enableWhiteboard, extraOptions, reservedFlag1,
                                                reservedFlag2, reservedFlag3)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(JoinRoomParams, roomUuid, userName, avatar, role, password,
                                                initialProperties)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(JoinRoomOptions, enableMyAudioDeviceOnJoinRtc)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CloudRecordConfig, rtcRecordType, modeList)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CloudRecordFile, mixing, fileName, md5, size, url, videoId,
                                                pieceIndex, nickname)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(CloudRecord, recordId, startTime, endTime, infoList)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ChatroomHistoryOptions, startTime, limit, order)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcAudioVolumeInfo, userUuid, volume)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcVideoStatsInfo, userUuid, layerType, width, height, frameRate,
                                                bitRate)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ScreenCaptureSourceData, type, sourceId, x, y, width, height)

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RtcStats, cpuAppUsageRatio, cpuIdleUsageRatio, cpuTotalUsageRatio,
                                                memoryAppUsageRatio, memoryTotalUsageRatio, memoryAppInKBytes,
                                                totalDuration, txBytes, rxBytes, txAudioBytes, txVideoBytes,
                                                rxAudioBytes, rxVideoBytes, txAudioKBitRate, rxAudioKBitRate,
                                                txVideoKBitRate, rxVideoKBitRate, upRtt, downRtt,
                                                txAudioPacketLossRate, txVideoPacketLossRate, txAudioPacketLossSum,
                                                txVideoPacketLossSum, txAudioJitter, txVideoJitter,
                                                rxAudioPacketLossRate, rxVideoPacketLossRate, rxAudioPacketLossSum,
                                                rxVideoPacketLossSum, rxAudioJitter, rxVideoJitter)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalAudioStats, streamType, numChannels, sentSampleRate,
                                                sentBitRate, audioLossRate, rtt, volume, capVolume)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RemoteAudioStats, streamType, receivedBitRate, totalFrozenTime,
                                                frozenRate, audioLossRate, volume)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(LocalVideoStats, layerType, width, height, captureWidth,
                                                captureHeight, captureFrameRate, renderFrameRate, encoderFrameRate,
                                                sentFrameRate, sentBitRate, targetBitRate, encoderBitRate,
                                                encoderName)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(RemoteVideoStats, layerType, width, height, receivedBitRate,
                                                receivedFrameRate, decoderFrameRate, renderFrameRate,
                                                packetLossRate, totalFrozenTime, frozenRate, encoderName)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(NetworkQualityInfo, userUuid, upStatus, downStatus)

}  // namespace parlo

namespace parlo_sim {

// Members as JSON use the keys script sees in a member record ("uuid", "name",
// "isAudioOn", ...), with the role as its SDK record.
parlo::RoomMemberPtr member_from_json(const nlohmann::json& j);
nlohmann::json member_to_json(const parlo::RoomMemberPtr& member);

// Chat messages as JSON use the keys of the script record; `messageType` is the
// kind's name ("text", "custom", "file", "image", "notification") or its number.
// A notification carries an attachment when `attachStr` is given.
parlo::ChatMessagePtr chat_message_from_json(const nlohmann::json& j);

}  // namespace parlo_sim

namespace nlohmann {

template <>
struct adl_serializer<parlo::RoomMemberPtr> {
  static void from_json(const json& j, parlo::RoomMemberPtr& member) { member = parlo_sim::member_from_json(j); }
  static void to_json(json& j, const parlo::RoomMemberPtr& member) { j = parlo_sim::member_to_json(member); }
};

template <>
struct adl_serializer<parlo::ChatMessagePtr> {
  static void from_json(const json& j, parlo::ChatMessagePtr& message) {
    message = parlo_sim::chat_message_from_json(j);
  }
};

template <>
struct adl_serializer<parlo::CaptionMessagePtr> {
  static void from_json(const json& j, parlo::CaptionMessagePtr& caption) {
    caption = j.is_null() ? nullptr : std::make_shared<parlo::CaptionMessage>(j.get<parlo::CaptionMessage>());
  }
};

}  // namespace nlohmann
