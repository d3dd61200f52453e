// The simulated SDK's own share of the paths the benchmarks time: the same calls the
// module makes, made here from native code into a native sink, so a benchmark can
// show what of its figure is the simulation and not the module.
//
//   sdkLoop { loop: "getNetworkType" | "isRoomLocked" | "uploadLog" | "uploadLogSerial" | "roomEvent",
//             n, room?, event?, args? }  ->  { ns: nanoseconds per call or event, reached,
//             callNs: for completions, the calls alone on the calling thread }
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine.h"
#include "listener_kinds.h"
#include "sdk/parlo.h"
#include "sdk/room_service.h"

namespace parlo_sim {
namespace {

using parlo::CaptionMessagePtr;
using parlo::ChatMessageList;
using parlo::RoomMemberList;
using parlo::RoomMemberPtr;
using parlo::RoomRole;
using parlo::RtcAudioVolumeInfo;
using parlo::RtcVideoStatsInfo;
using parlo::ScreenCaptureSourceData;
using parlo::StringMap;
using Clock = std::chrono::steady_clock;

double ns_per(Clock::time_point start, int64_t n) {
  return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count()) /
         static_cast<double>(n);
}

// A room listener that takes every event and keeps nothing: what is left of an event
// is the SDK's own work of raising it.
class SinkRoomListener final : public parlo::IQVRoomListener {
 public:
  int64_t members = 0;
  void onMemberJoinRoom(const parlo::RoomMemberList& list) override { members += static_cast<int64_t>(list.size()); }
  void onVideoFrame(const std::string&, bool, const uint8_t*, uint32_t, uint32_t, uint32_t, uint32_t, const int32_t*, const int32_t*, uint32_t) override {}
  void onCameraDeviceChanged(const std::string&, bool) override {}
  void onPlayoutDeviceChanged(const std::string&, bool) override {}
  void onRecordDeviceChanged(const std::string&, bool) override {}
  void onDefaultPlayoutDeviceChanged(const std::string&) override {}
  void onDefaultRecordDeviceChanged(const std::string&) override {}
  void onLocalAudioVolumeIndication(int32_t, bool) override {}
  void onLocalAudioVolumeIndication(int32_t) override {}
  void onRtcVirtualBackgroundSourceEnabled(bool, int32_t) override {}
  void onLocalRecorderStatus(int32_t, const std::string&) override {}
  void onLocalRecorderError(int32_t, const std::string&) override {}
  void onMemberRoleChanged(const std::string&, const RoomRole&, const RoomRole&) override {}
  void onMemberLeaveRoom(const RoomMemberList&) override {}
  void onRoomEnded(int32_t) override {}
  void onRoomLockStateChanged(bool) override {}
  void onRoomRemainingSecondsRenewed(uint64_t) override {}
  void onMemberJoinRtcChannel(const RoomMemberList&) override {}
  void onMemberLeaveRtcChannel(const RoomMemberList&) override {}
  void onMemberJoinChatroom(const RoomMemberList&) override {}
  void onMemberLeaveChatroom(const RoomMemberList&) override {}
  void onMemberAudioMuteChanged(const RoomMemberPtr&, bool, const RoomMemberPtr&) override {}
  void onMemberVideoMuteChanged(const RoomMemberPtr&, bool, const RoomMemberPtr&) override {}
  void onMemberScreenShareStateChanged(const RoomMemberPtr&, bool, const RoomMemberPtr&) override {}
  void onMemberSystemAudioShareStateChanged(const RoomMemberPtr&, bool, const RoomMemberPtr&) override {}
  void onMemberWhiteboardStateChanged(const RoomMemberPtr&, bool, const RoomMemberPtr&) override {}
  void onRoomAnnotationEnableChanged(bool) override {}
  void onRtcScreenCaptureSourceDataUpdate(const ScreenCaptureSourceData&) override {}
  void onMemberSIPInviteStateChanged(const RoomMemberPtr&, const RoomMemberPtr&) override {}
  void onMemberAppInviteStateChanged(const RoomMemberPtr&, const RoomMemberPtr&) override {}
  void reservedEvent30() override {}
  void onReceiveChatroomMessages(const ChatMessageList&) override {}
  void onChatroomMessageAttachmentProgress(const std::string&, int64_t, int64_t, int32_t) override {}
  void reservedEvent33() override {}
  void onRtcChannelError(const std::string&, int32_t) override {}
  void onRtcChannelError(int32_t, const std::string&) override {}
  void onRoomPropertiesChanged(const StringMap&) override {}
  void onRoomPropertiesDeleted(const StringMap&) override {}
  void onMemberPropertiesChanged(const std::string&, const StringMap&) override {}
  void onMemberPropertiesDeleted(const std::string&, const StringMap&) override {}
  void onRoomLiveStateChanged(int32_t) override {}
  void onRoomLiveBackgroundInfoChanged(int64_t) override {}
  void onMemberNameChanged(const RoomMemberPtr&, const std::string&) override {}
  void onMemberAudioConnectStateChanged(const RoomMemberPtr&, bool) override {}
  void onRtcVideoStats(const std::list<RtcVideoStatsInfo>&) override {}
  void onRtcRemoteAudioVolumeIndication(const std::string&, const std::list<RtcAudioVolumeInfo>&) override {}
  void onRtcRemoteAudioVolumeIndication(const std::list<RtcAudioVolumeInfo>&) override {}
  void onRoomConnectStateChanged(int32_t) override {}
  void onRtcDisconnect() override {}
  void onRtcUserVideoStart(const std::string&) override {}
  void onRtcUserVideoStop(const std::string&) override {}
  void onRtcScreenCaptureStatus(int32_t) override {}
  void onRtcRecvSEIMsg(const std::string&, const std::string&) override {}
  void onRtcUserAudioSubStreamStart(const std::string&) override {}
  void onRtcUserAudioSubStreamStop(const std::string&) override {}
  void onRoomCloudRecordStateChanged(int32_t, const RoomMemberPtr&) override {}
  void onRoomBlacklistStateChanged(bool) override {}
  void onRoomMaxMembersChanged(int64_t) override {}
  void onRtcLocalAudioVolumeIndication(int32_t, bool, const std::string&) override {}
  void onRtcChannelDisconnect(const std::string&, int32_t) override {}
  void onCaptionStateChanged(int32_t, int32_t, const std::string&) override {}
  void onReceiveCaptionMessages(const std::list<CaptionMessagePtr>&, const std::string&) override {}
  void onAudioHowling(bool) override {}
};

// Counts completions; the loop waits until all have run on the SDK thread.
struct Completions {
  std::mutex mutex;
  std::condition_variable done;
  int64_t left = 0;
  void finish() {
    std::lock_guard<std::mutex> lock(mutex);
    if (--left == 0) done.notify_all();
  }
  void wait() {
    std::unique_lock<std::mutex> lock(mutex);
    done.wait(lock, [this] { return left <= 0; });
  }
};

json sdk_loop(const json& args) {
  const std::string loop = args.at("loop").get<std::string>();
  const int64_t n = args.value("n", int64_t{100000});
  if (n < 1 || n > 100000000) throw std::invalid_argument("n must be 1 to 100000000");
  parlo::IQVParlo* kit = createQVParlo();
  if (kit == nullptr) throw std::invalid_argument("no kit");
  int64_t reached = 0;
  double call_ns = 0;  // for completions: the calls alone, on the calling thread
  Clock::time_point start = Clock::now();
  if (loop == "getNetworkType") {
    for (int64_t i = 0; i < n; ++i) reached += createQVParlo()->getNetworkType();
  } else if (loop == "isRoomLocked") {
    const std::string room = args.at("room").get<std::string>();
    start = Clock::now();
    for (int64_t i = 0; i < n; ++i) {
      parlo::IQVRoomService* rooms = createQVParlo()->getRoomService();
      parlo::IQVRoomContext* context = rooms == nullptr ? nullptr : rooms->getRoomContext(room);
      reached += context != nullptr && !context->isRoomLocked();
    }
  } else if (loop == "uploadLog" || loop == "uploadLogSerial") {
    Completions completions;
    auto done = [&completions](int32_t, const std::string&, const std::string&) { completions.finish(); };
    if (loop == "uploadLog") {
      completions.left = n;
      for (int64_t i = 0; i < n; ++i) createQVParlo()->uploadLog(done);
      call_ns = ns_per(start, n);
      completions.wait();
    } else {
      Clock::duration calling{};
      for (int64_t i = 0; i < n; ++i) {
        {
          std::lock_guard<std::mutex> lock(completions.mutex);
          completions.left = 1;
        }
        Clock::time_point call = Clock::now();
        createQVParlo()->uploadLog(done);
        calling += Clock::now() - call;
        completions.wait();
      }
      call_ns = static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(calling).count()) /
                static_cast<double>(n);
    }
    reached = n;
  } else if (loop == "roomEvent") {
    // The same raise as sim.emit's, on a scope of its own so the module's listeners
    // of the room hear nothing of it.
    SinkRoomListener sink;
    const std::string scope = "sdkLoop:" + args.value("room", std::string());
    room_listeners().add(&sink, scope);
    start = Clock::now();
    room_listeners().raise(args.value("event", std::string("onMemberJoinRoom")), args.value("args", json::array()),
                           scope, n);
    const double ns = ns_per(start, n);
    room_listeners().remove(&sink, scope);
    return json{{"ns", ns}, {"reached", sink.members}};
  } else {
    throw std::invalid_argument("no loop " + loop);
  }
  const double ns = ns_per(start, n);
  json out{{"ns", ns}, {"reached", reached}};
  if (call_ns > 0) out["callNs"] = call_ns;
  return out;
}

const bool registered = add_command("sdkLoop", sdk_loop);

}  // namespace
}  // namespace parlo_sim
