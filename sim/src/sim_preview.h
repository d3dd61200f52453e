// The simulated preview room: the one preview room context of the process and its
// RTC controller, kept as state (the machine's devices, device choices, volumes and
// mutes, the video preview, the device tests, beauty, virtual background, voice
// pitch, local recording and what else the SDK was told). Like rooms, it is state of
// the simulation, not of the kit. Changes the SDK reports are raised on the preview
// room's listeners, later, on the SDK thread:
//   - device lists that change: onCameraDeviceChanged / onPlayoutDeviceChanged /
//     onRecordDeviceChanged (deviceId, true when added, false when gone), and a new
//     default playout or record device: onDefaultPlayoutDeviceChanged / ...Record...;
//   - while the record device test runs: onLocalAudioVolumeIndication(volume, vad)
//     every interval;
//   - enableVirtualBackground: onRtcVirtualBackgroundSourceEnabled(enabled, reason);
//   - local recording: onLocalRecorderStatus(status, path), onLocalRecorderError;
//   - while the video preview runs, the selected camera's frames (the frame source's
//     test pattern) reach the preview room's listeners.
// Everything is read and written under the preview room's own lock; no listener is
// called while it is held.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "engine.h"
#include "preview_json.h"
#include "sdk/preview_room_context.h"

namespace parlo_sim {

// What the video preview's camera delivers.
struct PreviewVideo {
  uint32_t width = 640;
  uint32_t height = 360;
  double fps = 15;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewVideo, width, height, fps)

struct PreviewBeauty {
  bool running = false;  // between startBeauty and stopBeauty
  std::string path;
  bool enabled = false;
  std::map<std::string, double> effects;  // by beauty type, the level the SDK was given
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewBeauty, running, path, enabled, effects)

struct PreviewBackground {
  bool enabled = false;
  parlo::VirtualBackgroundSource source;
  bool flag = false;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewBackground, enabled, source, flag)

struct PreviewRecording {
  bool recording = false;
  bool remuxing = false;  // after a stop, until stopLocalRecorderRemux
  json params;            // of the last start; null before
  parlo::LocalRecordLayoutList layouts;
  int64_t framesPushed = 0;  // since the last start
  json lastFrame;            // { id, streamType, frame } of the last push; null before
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewRecording, recording, remuxing, params, layouts, framesPushed,
                                                lastFrame)

// The preview room as JSON uses the keys script sees in sim.preview.get().
struct PreviewState {
  // The machine, as script sets it (sim.preview.update).
  bool supported = true;
  int32_t virtualBackgroundSupportedType = 3;
  parlo::RtcDeviceList cameras;
  parlo::RtcDeviceList playouts;
  parlo::RtcDeviceList records;
  int32_t microphoneLevel = 100;  // what the microphone hears, 0 to 255
  PreviewVideo previewVideo;
  // Device choices, volumes and mutes: set by the SDK's operations or by script.
  std::string selectedCamera;
  std::string selectedPlayout;
  std::string selectedRecord;
  uint32_t playoutVolume = 100;
  uint32_t recordVolume = 100;
  bool playoutMute = false;
  bool recordMute = false;
  // What runs, and what the SDK was told.
  bool videoPreview = false;
  json playoutTest;  // { filePath } while the playout device test runs; null otherwise
  json recordTest;   // { interval } while the record device test runs; null otherwise
  uint32_t recordingSignalVolume = 100;
  uint32_t playbackSignalVolume = 100;
  PreviewBeauty beauty;
  PreviewBackground virtualBackground;
  double voicePitch = 1.0;
  bool audioCaptureDriverInstalled = false;
  PreviewRecording localRecord;
  json settings;  // other things the SDK was told, by subject; null until told
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewState, supported, virtualBackgroundSupportedType, cameras,
                                                playouts, records, microphoneLevel, previewVideo, selectedCamera,
                                                selectedPlayout, selectedRecord, playoutVolume, recordVolume,
                                                playoutMute, recordMute, videoPreview, playoutTest, recordTest,
                                                recordingSignalVolume, playbackSignalVolume, beauty,
                                                virtualBackground, voicePitch, audioCaptureDriverInstalled,
                                                localRecord, settings)

// What the preview room's listeners hear from one change, in order.
using PreviewEvent = std::function<void(parlo::IQVPreviewRoomListener*)>;
using PreviewEvents = std::vector<PreviewEvent>;

class SimPreviewController final : public parlo::IQVPreviewRoomRtcController {
 public:
  SimPreviewController();
  ~SimPreviewController() override = default;

  // --- the operations shared with a room's controller ---

  bool isSupported() override;
  int32_t setupLocalVideoCanvas(const parlo::VideoCanvas& canvas) override;
  int32_t enumCameraDevices(parlo::RtcDeviceList& devices) override;
  int32_t getSelectedCameraDevice(std::string& deviceId) override;
  int32_t selectCameraDevice(const std::string& deviceId) override;
  int32_t enumPlayoutDevices(parlo::RtcDeviceList& devices) override;
  int32_t getDefaultPlayoutDevice(parlo::RtcDeviceInfo& device) override;
  int32_t getSelectedPlayoutDevice(std::string& deviceId) override;
  int32_t selectPlayoutDevice(const std::string& deviceId) override;
  uint32_t getPlayoutDeviceVolume() override;
  int32_t setPlayoutDeviceVolume(uint32_t volume) override;
  int32_t enumRecordDevices(parlo::RtcDeviceList& devices) override;
  int32_t getDefaultRecordDevice(parlo::RtcDeviceInfo& device) override;
  int32_t getSelectedRecordDevice(std::string& deviceId) override;
  int32_t selectRecordDevice(const std::string& deviceId) override;
  uint32_t getRecordDeviceVolume() override;
  int32_t setRecordDeviceVolume(uint32_t volume) override;
  int32_t setLocalVideoResolution(int32_t resolution) override;
  int32_t setLocalVideoFramerate(int32_t framerate) override;
  int32_t setAudioDeviceAutoSelectType(int32_t type) override;
  int32_t setAudioProfile(int32_t profile, int32_t scenario) override;
  int32_t enableAudioEchoCancellation(bool enable) override;
  int32_t enableAudioVolumeIndication(const std::string& id, bool enable, int32_t interval, bool flag) override;
  int32_t enableAudioVolumeIndication(bool enable, int32_t interval) override;
  int32_t startAudioDump(int32_t type) override;
  int32_t stopAudioDump() override;
  int32_t enableAudioAINS(bool enable) override;
  int32_t enableAudioVolumeAutoAdjust(bool enable) override;
  int32_t adjustRecordingSignalVolume(uint32_t volume) override;
  int32_t getPlayoutDeviceMute(bool& mute) override;
  int32_t adjustPlaybackSignalVolume(uint32_t volume) override;
  int32_t getVirtualBackgroundSupportedType() override;
  int32_t startLocalRecord(const parlo::LocalRecordParams& params) override;
  int32_t stopLocalRecord() override;
  int32_t updateLocalRecordLayouts(const parlo::LocalRecordLayoutList& layouts) override;
  int32_t pushLocalRecorderVideoFrame(const std::string& id, int32_t streamType,
                                      const parlo::RecorderVideoFrame& frame) override;
  int32_t stopLocalRecorderRemux() override;

  // --- the preview's own ---

  int32_t startVideoPreview() override;
  int32_t stopVideoPreview() override;
  int32_t startPlayoutDeviceTest(const std::string& filePath) override;
  int32_t stopPlayoutDeviceTest() override;
  int32_t startRecordDeviceTest(uint32_t interval) override;
  int32_t stopRecordDeviceTest() override;
  int32_t enableVirtualBackground(bool enable, const parlo::VirtualBackgroundSource& source, bool flag) override;
  int32_t startBeauty(const std::string& path) override;
  int32_t stopBeauty() override;
  int32_t enableBeauty(bool enable) override;
  int32_t setBeautyEffect(int32_t type, float level) override;
  int32_t setLocalVoicePitch(double pitch) override;
  int32_t setRecordDeviceMute(bool mute) override;
  int32_t setPlayoutDeviceMute(bool mute) override;
  int32_t installAudioCaptureDriver() override;

  // --- script's side ---

  // The state, as sim.preview.get() shows it.
  json state();
  // Lays `changes` over the machine and the device choices, volumes and mutes;
  // device lists that change raise the device events, and a chosen device that is
  // gone falls back to the default. Throws, changing nothing, on any other key or
  // on what does not read.
  void update(const json& changes);
  // Back to a machine with two devices of each kind and nothing running.
  void reset();

 private:
  // A synchronous operation: `change` runs on the state under the lock and answers
  // the code and what the listeners hear; a scripted non-zero return value fails
  // the operation instead, and a scripted zero replaces the code.
  int32_t apply(const char* op, json args, const std::function<int32_t(PreviewState&, PreviewEvents&)>& change);
  // An operation that only records what the SDK was told, under settings[key].
  int32_t tell(const char* op, json args, const char* key, json value);
  // An operation that fills `out` from the state; a scripted result fills it
  // instead, a scripted return value replaces the code.
  template <class T, class Read>
  int32_t fill(const char* op, T& out, Read read);
  template <class T>
  T value(const char* op, T PreviewState::*field);
  int32_t select(const char* op, const std::string& id, parlo::RtcDeviceList PreviewState::*list,
                 std::string PreviewState::*selected);

  // The camera's frames while the video preview runs: a generator is started or
  // stopped to match the state (outside the lock: a generator joins its threads).
  void follow_video();
  // One report of the record device test, then the next, while test `run` lasts.
  void record_test_tick(uint64_t run);

  std::mutex mutex_;
  PreviewState s_;
  uint64_t record_run_ = 0;   // the record test run that may report; others stop
  int64_t camera_ = 0;        // the video preview's frame generator; 0 when none
  std::mutex camera_mutex_;   // held while the generator is started or stopped
};

class SimPreviewRoom final : public parlo::IQVPreviewRoomContext {
 public:
  parlo::IQVPreviewRoomRtcController* getPreviewRoomRtcController() override;
  void addPreviewRoomListener(parlo::IQVPreviewRoomListener* listener) override;
  void removePreviewRoomListener(parlo::IQVPreviewRoomListener* listener) override;

  SimPreviewController& controller() { return controller_; }

 private:
  SimPreviewController controller_;
};

// The preview room of the process, whatever the links say (script's commands);
// the room service hands it out as preview_room_context() (sim_rooms.h).
SimPreviewRoom& the_preview_room();

}  // namespace parlo_sim
