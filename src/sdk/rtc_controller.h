// The SDK's RTC controllers: the operations the room's controller and the preview
// room's controller share (devices, local capture, audio features, local recording),
// and the room's controller with its streams, canvases and screen sharing; with the
// records they take and fill.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include "sdk/parlo_types.h"

namespace parlo {

struct RtcDeviceInfo {
  std::string deviceName;
  std::string deviceId;
  bool unavailable = false;
  bool defaultDevice = false;
};
using RtcDeviceList = std::list<RtcDeviceInfo>;

// Where a video stream is rendered: a native window, for the duration of the call
// (the SDK copies what it keeps).
struct VideoCanvas {
  bool enabled = true;
  uint64_t window = 0;
  int32_t scalingMode = 0;
  int32_t mirrorMode = 2;  // 1: mirrored, 2: not
};

// Pixels of a capture source's thumbnail or icon, owned by the SDK for the duration
// of the completion that hands them over.
struct CaptureImage {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct ScreenCaptureSource {
  int32_t type = 0;
  int64_t id = 0;
  std::string title;
  std::string name;
  std::string processPath;
  CaptureImage thumbnail;
  CaptureImage icon;
  bool primaryMonitor = false;
};
using ScreenCaptureSourceList = std::list<ScreenCaptureSource>;

struct ScreenShareConfig {
  bool captureCursor = true;
  bool highlightBorder = true;
  int32_t borderWidth = 4;
  uint32_t borderColor = 0xFF7EDE00;
  int32_t monitorIndex = -1;
  int32_t limitFrameRate = 30;
  std::string videoProfile;
};

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

using WindowIdList = std::list<int64_t>;

struct SnapshotResult {
  std::string path;
  int64_t timestamp = 0;
};

struct LocalRecordParams {
  bool isShowTimestampCover = true;
  bool recordAudio = false;
  bool recordVideo = true;
  std::string filePath;
  std::string fileName;
  std::string coverConfigFilePath;
  std::string defaultCoverConfigFilePath;
  std::string coverTitle;
  std::string coverMeetingNumber;
  std::string coverCreateTime;
};

struct LocalRecordLayout {
  uint32_t streamType = 0;
  bool isShowNameCover = false;
  bool isShowStreamDefaultCover = false;
  bool isScreenShare = false;
  uint32_t streamLayer = 0;
  uint32_t offsetX = 0;
  uint32_t offsetY = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t scalingMode = 0;
  uint32_t bgColor = 0;
  std::string uid;
};
using LocalRecordLayoutList = std::list<LocalRecordLayout>;

// Pixel formats of recorder frames whose size the layout fixes; the SDK knows others.
enum RecorderFrameFormat : uint32_t {
  kRecorderFrameI420 = 0,  // width x height luma, then two quarter-size chroma planes
  kRecorderFrameRGBA = 1,  // 4 bytes a pixel
};

// A frame script pushes into the local recorder; `data` points into script's memory
// for the duration of the call.
struct RecorderVideoFrame {
  uint32_t format = 0;
  int64_t timestamp = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t rotation = 0;
  const uint8_t* data = nullptr;
};

// What both RTC controllers offer, at the same places in both interfaces.
// Operations return the SDK's result code (0 success) unless they say otherwise.
class IQVBaseRtcController {
 public:
  virtual bool isSupported() = 0;
  virtual int32_t setupLocalVideoCanvas(const VideoCanvas& canvas) = 0;
  virtual int32_t enumCameraDevices(RtcDeviceList& devices) = 0;
  virtual int32_t getSelectedCameraDevice(std::string& deviceId) = 0;
  virtual int32_t selectCameraDevice(const std::string& deviceId) = 0;
  virtual int32_t enumPlayoutDevices(RtcDeviceList& devices) = 0;
  virtual int32_t getDefaultPlayoutDevice(RtcDeviceInfo& device) = 0;
  virtual int32_t getSelectedPlayoutDevice(std::string& deviceId) = 0;
  virtual int32_t selectPlayoutDevice(const std::string& deviceId) = 0;
  virtual uint32_t getPlayoutDeviceVolume() = 0;
  virtual int32_t setPlayoutDeviceVolume(uint32_t volume) = 0;
  virtual int32_t enumRecordDevices(RtcDeviceList& devices) = 0;
  virtual int32_t getDefaultRecordDevice(RtcDeviceInfo& device) = 0;
  virtual int32_t getSelectedRecordDevice(std::string& deviceId) = 0;
  virtual int32_t selectRecordDevice(const std::string& deviceId) = 0;
  virtual uint32_t getRecordDeviceVolume() = 0;
  virtual int32_t setRecordDeviceVolume(uint32_t volume) = 0;
  virtual int32_t setLocalVideoResolution(int32_t resolution) = 0;
  virtual int32_t setLocalVideoFramerate(int32_t framerate) = 0;
  virtual int32_t setAudioDeviceAutoSelectType(int32_t type) = 0;
  virtual int32_t setAudioProfile(int32_t profile, int32_t scenario) = 0;
  virtual int32_t enableAudioEchoCancellation(bool enable) = 0;
  virtual int32_t enableAudioVolumeIndication(const std::string& id, bool enable, int32_t interval, bool flag) = 0;
  virtual int32_t enableAudioVolumeIndication(bool enable, int32_t interval) = 0;
  virtual int32_t startAudioDump(int32_t type) = 0;
  virtual int32_t stopAudioDump() = 0;
  virtual int32_t enableAudioAINS(bool enable) = 0;
  virtual int32_t enableAudioVolumeAutoAdjust(bool enable) = 0;
  virtual int32_t adjustRecordingSignalVolume(uint32_t volume) = 0;
  virtual int32_t getPlayoutDeviceMute(bool& mute) = 0;
  virtual int32_t adjustPlaybackSignalVolume(uint32_t volume) = 0;
  virtual int32_t getVirtualBackgroundSupportedType() = 0;
  virtual int32_t startLocalRecord(const LocalRecordParams& params) = 0;
  virtual int32_t stopLocalRecord() = 0;
  virtual int32_t updateLocalRecordLayouts(const LocalRecordLayoutList& layouts) = 0;
  virtual int32_t pushLocalRecorderVideoFrame(const std::string& id, int32_t streamType,
                                              const RecorderVideoFrame& frame) = 0;
  virtual int32_t stopLocalRecorderRemux() = 0;

 protected:
  virtual ~IQVBaseRtcController() = default;
};

// The RTC controller of a joined room: the shared operations, then its own.
class IQVRoomRtcController : public IQVBaseRtcController {
 public:
  virtual void joinRtcChannel(const std::string& param, QVCompletion completion) = 0;
  virtual void joinRtcChannel(QVCompletion completion) = 0;
  virtual void leaveRtcChannel(const std::string& param, QVCompletion completion) = 0;
  virtual void leaveRtcChannel(QVCompletion completion) = 0;
  virtual void muteMyAudio(QVCompletion completion) = 0;
  virtual void unmuteMyAudio(bool flag, QVCompletion completion) = 0;
  virtual int32_t setupRemoteVideoCanvas(const std::string& userUuid, const VideoCanvas& canvas) = 0;
  virtual int32_t setupRemoteVideoSubStreamCanvas(const std::string& userUuid, const VideoCanvas& canvas) = 0;
  virtual int32_t subscribeRemoteVideoStream(const std::string& userUuid, bool highStream) = 0;
  virtual int32_t unsubscribeRemoteVideoStream(const std::string& userUuid) = 0;
  virtual int32_t subscribeRemoteVideoSubStream(const std::string& userUuid) = 0;
  virtual int32_t unsubscribeRemoteVideoSubStream(const std::string& userUuid) = 0;
  virtual void muteMyVideo(QVCompletion completion) = 0;
  virtual void unmuteMyVideo(QVCompletion completion) = 0;
  virtual void getScreenCaptureSourceList(int32_t thumbWidth, int32_t thumbHeight, int32_t iconWidth,
                                          int32_t iconHeight, bool includeScreens,
                                          QVResultCompletion<ScreenCaptureSourceList> completion) = 0;
  virtual void startAppShare(int64_t sourceId, const ScreenShareConfig& config, QVCompletion completion) = 0;
  virtual void startScreenShare(int64_t sourceId, const ScreenShareConfig& config, const WindowIdList& exclude,
                                QVCompletion completion) = 0;
  virtual void startRectShare(const Rect& screenRect, const Rect& regionRect, const WindowIdList& exclude, bool flag,
                              QVCompletion completion) = 0;
  virtual int32_t setExcludeWindowList(const WindowIdList& windows) = 0;
  virtual void stopShare(QVCompletion completion) = 0;
  virtual int32_t startSystemAudioLoopbackCapture() = 0;
  virtual int32_t stopSystemAudioLoopbackCapture() = 0;
  virtual void muteMemberAudio(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void unmuteMemberAudio(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void muteMemberVideo(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void unmuteMemberVideo(const std::string& userUuid, QVCompletion completion) = 0;
  virtual int32_t enableMediaPub(const std::string& channel, int32_t mediaType, bool enable) = 0;
  virtual void stopMemberShare(const std::string& userUuid, QVCompletion completion) = 0;
  virtual void stopMemberSystemAudioShare(const std::string& userUuid, QVCompletion completion) = 0;
  virtual int32_t getScreenSharingUserUuid(std::string& userUuid) = 0;
  virtual int32_t adjustUserPlaybackSignalVolume(const std::string& userUuid, int32_t volume) = 0;
  virtual int32_t enableLocalAudioSubStream() = 0;
  virtual int32_t disableLocalAudioSubStream() = 0;
  virtual int32_t pauseLocalAudioRecording() = 0;
  virtual int32_t resumeLocalAudioRecording() = 0;
  virtual int32_t pauseLocalVideoCapture() = 0;
  virtual int32_t enableEncryption(const std::string& key, int32_t mode) = 0;
  virtual void disconnectMyAudio(QVCompletion completion) = 0;
  virtual void reconnectMyAudio(QVCompletion completion) = 0;
  virtual int32_t adjustChannelPlaybackSignalVolume(const std::string& channel, int32_t volume) = 0;
  virtual int32_t enableLocalAudio(const std::string& channel, bool enable) = 0;
  virtual void takeLocalSnapshot(int32_t streamType, QVResultCompletion<SnapshotResult> completion) = 0;
  virtual void takeRemoteSnapshot(const std::string& userUuid, int32_t streamType,
                                  QVResultCompletion<SnapshotResult> completion) = 0;
  virtual int32_t enableCaption(bool enable) = 0;
  virtual int32_t setCaptionTranslationLanguage(int32_t language) = 0;
  virtual void startShareSystemAudio(QVCompletion completion) = 0;
  virtual void stopShareSystemAudio(QVCompletion completion) = 0;
  virtual int32_t enableLocalVideo(bool enable) = 0;
  virtual int32_t setCloudProxy(int32_t proxyType) = 0;

 protected:
  virtual ~IQVRoomRtcController() = default;
};

}  // namespace parlo
