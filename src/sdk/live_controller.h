// The SDK's live-stream controller of a joined room: the live record it starts,
// updates and reports, and the background and cover images of the live page.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

// What a live stream is started or updated with, and what the SDK reports of it.
struct LiveRecord {
  std::string title;
  std::string password;
  int32_t liveLayout = 0;
  std::list<std::string> userUuidList;
  std::string extensionConfig;
  bool enableThirdParties = false;
  std::string taskId;
  std::string pushUrl;
  std::string pullHlsUrl;
  std::string pullHttpUrl;
  std::string pullRtmpUrl;
  std::string pullRtsUrl;
  int32_t state = 0;
};

// The live page's images. The sequence is the SDK's: it counts the updates and is
// only meaningful in a record the SDK hands back.
struct LiveBackground {
  std::string backgroundUrl;
  std::string thumbnailBackgroundUrl;
  std::string coverUrl;
  std::string thumbnailCoverUrl;
  int64_t backgroundUpdatedSequence = 0;
};

class IQVRoomLiveController {
 public:
  virtual bool isSupported() = 0;
  virtual LiveRecord getLiveInfo() = 0;
  virtual void startLive(const LiveRecord& live, QVResultCompletion<LiveRecord> completion) = 0;
  virtual void updateLive(const LiveRecord& live, QVCompletion completion) = 0;
  virtual void stopLive(QVCompletion completion) = 0;
  virtual void reservedSlot5() = 0;
  virtual void reservedSlot6() = 0;
  virtual void removeLiveStreamTask(const std::string& taskId, QVCompletion completion) = 0;
  virtual void getBackgroundInfo(QVResultCompletion<LiveBackground> completion) = 0;
  // Completes with the sequence the update was given.
  virtual void updateBackgroundInfo(const LiveBackground& background, QVResultCompletion<int64_t> completion) = 0;

 protected:
  virtual ~IQVRoomLiveController() = default;
};

}  // namespace parlo
