// The SDK's RTC statistics listener and the records of its six reports.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>

namespace parlo {

struct RtcStats {
  uint32_t cpuAppUsageRatio = 0;
  uint32_t cpuIdleUsageRatio = 0;
  uint32_t cpuTotalUsageRatio = 0;
  uint32_t memoryAppUsageRatio = 0;
  uint32_t memoryTotalUsageRatio = 0;
  uint32_t memoryAppInKBytes = 0;
  int32_t totalDuration = 0;
  alignas(8) uint64_t txBytes = 0;
  uint64_t rxBytes = 0;
  uint64_t txAudioBytes = 0;
  uint64_t txVideoBytes = 0;
  uint64_t rxAudioBytes = 0;
  uint64_t rxVideoBytes = 0;
  int32_t txAudioKBitRate = 0;
  int32_t rxAudioKBitRate = 0;
  int32_t txVideoKBitRate = 0;
  int32_t rxVideoKBitRate = 0;
  int32_t upRtt = 0;
  int32_t downRtt = 0;
  int32_t txAudioPacketLossRate = 0;
  int32_t txVideoPacketLossRate = 0;
  int32_t txAudioPacketLossSum = 0;
  int32_t txVideoPacketLossSum = 0;
  int32_t txAudioJitter = 0;
  int32_t txVideoJitter = 0;
  int32_t rxAudioPacketLossRate = 0;
  int32_t rxVideoPacketLossRate = 0;
  int32_t rxAudioPacketLossSum = 0;
  int32_t rxVideoPacketLossSum = 0;
  int32_t rxAudioJitter = 0;
  int32_t rxVideoJitter = 0;
};

struct LocalAudioStats {
  int32_t streamType = 0;
  int32_t numChannels = 0;
  int32_t sentSampleRate = 0;
  int32_t sentBitRate = 0;
  int32_t audioLossRate = 0;
  int64_t rtt = 0;
  uint32_t volume = 0;
  uint32_t capVolume = 0;
};

struct RemoteAudioStats {
  int32_t streamType = 0;
  int32_t receivedBitRate = 0;
  int32_t totalFrozenTime = 0;
  int32_t frozenRate = 0;
  int32_t audioLossRate = 0;
  uint32_t volume = 0;
};

struct LocalVideoStats {
  int32_t layerType = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t captureWidth = 0;
  int32_t captureHeight = 0;
  int32_t captureFrameRate = 0;
  int32_t renderFrameRate = 0;
  int32_t encoderFrameRate = 0;
  int32_t sentFrameRate = 0;
  int32_t sentBitRate = 0;
  int32_t targetBitRate = 0;
  int32_t encoderBitRate = 0;
  std::string encoderName;
};

struct RemoteVideoStats {
  int32_t layerType = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t receivedBitRate = 0;
  int32_t receivedFrameRate = 0;
  int32_t decoderFrameRate = 0;
  int32_t renderFrameRate = 0;
  int32_t packetLossRate = 0;
  int32_t totalFrozenTime = 0;
  int32_t frozenRate = 0;
  std::string encoderName;
};

struct NetworkQualityInfo {
  std::string userUuid;
  int32_t upStatus = 0;
  int32_t downStatus = 0;
};

// Reports per user are keyed by user UUID, in ascending key order.
using RemoteAudioStatsMap = std::map<std::string, std::list<RemoteAudioStats>>;
using RemoteVideoStatsMap = std::map<std::string, std::list<RemoteVideoStats>>;

class IQVRtcStatsListener {
 public:
  virtual ~IQVRtcStatsListener() = default;
  virtual void onRtcStats(const RtcStats& stats) = 0;
  virtual void onLocalAudioStats(const std::list<LocalAudioStats>& stats) = 0;
  virtual void onRemoteAudioStats(const RemoteAudioStatsMap& stats) = 0;
  virtual void onLocalVideoStats(const std::list<LocalVideoStats>& stats) = 0;
  virtual void onRemoteVideoStats(const RemoteVideoStatsMap& stats) = 0;
  virtual void onNetworkQuality(const std::list<NetworkQualityInfo>& quality) = 0;
};

}  // namespace parlo
