// The listener kinds of rooms and of the preview room, and their event tables: every
// operation script may raise with sim.emit('room' | 'rtcStats', event, args, { room })
// or sim.emit('previewRoom', event, args).
#include "listener_kinds.h"
#include "room_json.h"

namespace parlo_sim {
namespace {

using R = parlo::IQVRoomListener;
using S = parlo::IQVRtcStatsListener;
using P = parlo::IQVPreviewRoomListener;

}  // namespace

Kind<R>& room_listeners() {
  static Kind<R>& kind = Events::get().define<R>("room", with_media_events<R>({
      {"onMemberRoleChanged", op(&R::onMemberRoleChanged)},
      {"onMemberJoinRoom", op(&R::onMemberJoinRoom)},
      {"onMemberLeaveRoom", op(&R::onMemberLeaveRoom)},
      {"onRoomEnded", op(&R::onRoomEnded)},
      {"onRoomLockStateChanged", op(&R::onRoomLockStateChanged)},
      {"onRoomRemainingSecondsRenewed", op(&R::onRoomRemainingSecondsRenewed)},
      {"onMemberJoinRtcChannel", op(&R::onMemberJoinRtcChannel)},
      {"onMemberLeaveRtcChannel", op(&R::onMemberLeaveRtcChannel)},
      {"onMemberJoinChatroom", op(&R::onMemberJoinChatroom)},
      {"onMemberLeaveChatroom", op(&R::onMemberLeaveChatroom)},
      {"onMemberAudioMuteChanged", op(&R::onMemberAudioMuteChanged)},
      {"onMemberVideoMuteChanged", op(&R::onMemberVideoMuteChanged)},
      {"onMemberScreenShareStateChanged", op(&R::onMemberScreenShareStateChanged)},
      {"onMemberSystemAudioShareStateChanged", op(&R::onMemberSystemAudioShareStateChanged)},
      {"onMemberWhiteboardStateChanged", op(&R::onMemberWhiteboardStateChanged)},
      {"onRoomAnnotationEnableChanged", op(&R::onRoomAnnotationEnableChanged)},
      {"onRtcScreenCaptureSourceDataUpdate", op(&R::onRtcScreenCaptureSourceDataUpdate)},
      {"onMemberSIPInviteStateChanged", op(&R::onMemberSIPInviteStateChanged)},
      {"onMemberAppInviteStateChanged", op(&R::onMemberAppInviteStateChanged)},
      {"onReceiveChatroomMessages", op(&R::onReceiveChatroomMessages)},
      {"onChatroomMessageAttachmentProgress", op(&R::onChatroomMessageAttachmentProgress)},
      {"onRtcChannelError", either<R>(form<R, const std::string&, int32_t>(&R::onRtcChannelError),
                                      form<R, int32_t, const std::string&>(&R::onRtcChannelError))},
      {"onRoomPropertiesChanged", op(&R::onRoomPropertiesChanged)},
      {"onRoomPropertiesDeleted", op(&R::onRoomPropertiesDeleted)},
      {"onMemberPropertiesChanged", op(&R::onMemberPropertiesChanged)},
      {"onMemberPropertiesDeleted", op(&R::onMemberPropertiesDeleted)},
      {"onRoomLiveStateChanged", op(&R::onRoomLiveStateChanged)},
      {"onRoomLiveBackgroundInfoChanged", op(&R::onRoomLiveBackgroundInfoChanged)},
      {"onMemberNameChanged", op(&R::onMemberNameChanged)},
      {"onMemberAudioConnectStateChanged", op(&R::onMemberAudioConnectStateChanged)},
      {"onRtcVideoStats", op(&R::onRtcVideoStats)},
      {"onRtcRemoteAudioVolumeIndication",
       either<R>(form<R, const std::string&, const std::list<parlo::RtcAudioVolumeInfo>&>(
                     &R::onRtcRemoteAudioVolumeIndication),
                 form<R, const std::list<parlo::RtcAudioVolumeInfo>&>(&R::onRtcRemoteAudioVolumeIndication))},
      {"onRoomConnectStateChanged", op(&R::onRoomConnectStateChanged)},
      {"onRtcDisconnect", op(&R::onRtcDisconnect)},
      {"onRtcUserVideoStart", op(&R::onRtcUserVideoStart)},
      {"onRtcUserVideoStop", op(&R::onRtcUserVideoStop)},
      {"onRtcScreenCaptureStatus", op(&R::onRtcScreenCaptureStatus)},
      {"onRtcRecvSEIMsg", op(&R::onRtcRecvSEIMsg)},
      {"onRtcUserAudioSubStreamStart", op(&R::onRtcUserAudioSubStreamStart)},
      {"onRtcUserAudioSubStreamStop", op(&R::onRtcUserAudioSubStreamStop)},
      {"onRoomCloudRecordStateChanged", op(&R::onRoomCloudRecordStateChanged)},
      {"onRoomBlacklistStateChanged", op(&R::onRoomBlacklistStateChanged)},
      {"onRoomMaxMembersChanged", op(&R::onRoomMaxMembersChanged)},
      {"onRtcLocalAudioVolumeIndication", op(&R::onRtcLocalAudioVolumeIndication)},
      {"onRtcChannelDisconnect", op(&R::onRtcChannelDisconnect)},
      {"onCaptionStateChanged", op(&R::onCaptionStateChanged)},
      {"onReceiveCaptionMessages", op(&R::onReceiveCaptionMessages)},
      {"onAudioHowling", op(&R::onAudioHowling)},
  }));
  return kind;
}

Kind<P>& preview_room_listeners() {
  static Kind<P>& kind = Events::get().define<P>("previewRoom", with_media_events<P>({}));
  return kind;
}

Kind<S>& rtc_stats_listeners() {
  static Kind<S>& kind = Events::get().define<S>("rtcStats", {
      {"onRtcStats", op(&S::onRtcStats)},
      {"onLocalAudioStats", op(&S::onLocalAudioStats)},
      {"onRemoteAudioStats", op(&S::onRemoteAudioStats)},
      {"onLocalVideoStats", op(&S::onLocalVideoStats)},
      {"onRemoteVideoStats", op(&S::onRemoteVideoStats)},
      {"onNetworkQuality", op(&S::onNetworkQuality)},
  });
  return kind;
}

namespace {
// The kinds exist from the start, so script can raise and count before anything registers.
const bool kinds_defined = (room_listeners(), rtc_stats_listeners(), preview_room_listeners(), true);
}  // namespace

}  // namespace parlo_sim
