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
#include <map>
#include <mutex>
#include <string>

#include "engine.h"
#include "preview_json.h"
#include "sdk/preview_room_context.h"
#include "sim_media.h"

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

// The preview room as JSON uses the keys script sees in sim.preview.get().
struct PreviewState : MediaState {
  // The machine, as script sets it (sim.preview.update), beyond what a room's has.
  bool recordMute = false;
  int32_t microphoneLevel = 100;  // what the microphone hears, 0 to 255
  PreviewVideo previewVideo;
  // What runs, and what the SDK was told.
  bool videoPreview = false;
  json playoutTest;  // { filePath } while the playout device test runs; null otherwise
  json recordTest;   // { interval } while the record device test runs; null otherwise
  PreviewBeauty beauty;
  PreviewBackground virtualBackground;
  double voicePitch = 1.0;
  bool audioCaptureDriverInstalled = false;
};
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(PreviewState, supported, virtualBackgroundSupportedType, cameras,
                                                playouts, records, selectedCamera, selectedPlayout, selectedRecord,
                                                playoutVolume, recordVolume, playoutMute, recordMute, microphoneLevel,
                                                previewVideo, videoPreview, playoutTest, recordTest, beauty,
                                                virtualBackground, voicePitch, audioCaptureDriverInstalled,
                                                localRecord, settings)

// The operations it shares with a room's controller are SimMediaController's; its
// state is guarded by a lock of its own.
class SimPreviewController final : public SimMediaController<parlo::IQVPreviewRoomRtcController, PreviewState> {
 public:
  SimPreviewController();
  ~SimPreviewController() override = default;

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
  std::mutex& state_mutex() override { return mutex_; }
  void raise(MediaEvents events) override;

  // The camera's frames while the video preview runs: a generator is started or
  // stopped to match the state (outside the lock: a generator joins its threads).
  void follow_video();
  // One report of the record device test, then the next, while test `run` lasts.
  void record_test_tick(uint64_t run);

  std::mutex mutex_;
  uint64_t record_run_ = 0;  // the record test run that may report; others stop
  int64_t camera_ = 0;       // the video preview's frame generator; 0 when none
  std::mutex camera_mutex_;  // held while the generator is started or stopped
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
