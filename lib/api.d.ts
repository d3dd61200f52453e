// Written by scripts/api-tables.js from the contract tables: do not edit by hand.

/** The asynchronous methods of every class, by class name. */
export interface AsyncMethodNames {
  IQVParloWrap: 'initialize' | 'uploadLog';
  IQVAuthServiceWrap: 'login' | 'loginByDynamicToken' | 'logout';
  IQVRoomServiceWrap: 'createRoom' | 'fetchRoomTemplate' | 'joinRoom' | 'getRoomCloudRecordList' | 'fetchChatroomHistoryMessages' | 'exportChatroomHistoryMessages' | 'joinRoomByInvite' | 'rejectInvite';
  IQVRoomRtcControllerWrap: 'joinRtcChannel' | 'leaveRtcChannel' | 'disconnectMyAudio' | 'reconnectMyAudio' | 'muteMyAudio' | 'unmuteMyAudio' | 'muteMyVideo' | 'unmuteMyVideo' | 'muteMemberAudio' | 'unmuteMemberAudio' | 'muteMemberVideo' | 'unmuteMemberVideo' | 'stopMemberShare' | 'stopMemberSystemAudioShare' | 'startShareSystemAudio' | 'stopShareSystemAudio' | 'takeLocalSnapshot' | 'takeRemoteSnapshot' | 'getScreenCaptureSourceList' | 'startScreenShare' | 'startAppShare' | 'startRectShare' | 'stopShare';
  IQVRoomLiveControllerWrap: 'startLive' | 'updateLive' | 'stopLive' | 'removeLiveStreamTask' | 'updateBackgroundInfo' | 'getBackgroundInfo';
  IQVWaitingRoomControllerWrap: 'getMemberList' | 'changeMemberName' | 'enableWaitingRoomOnEntry' | 'disableWaitingRoomOnEntry' | 'admitMember' | 'expelMember' | 'putInWaitingRoom' | 'expelAllMembers' | 'admitAllMembers' | 'getWaitingRoomManagerList';
  IQVRoomSIPControllerWrap: 'callByNumber' | 'callByUserUuids' | 'callByUserUuid' | 'removeCall' | 'cancelCall' | 'hangUpCall' | 'callOutRoomSystem';
  IQVRoomAppInviteControllerWrap: 'callByUserUuids' | 'callByUserUuid' | 'removeCall' | 'cancelCall';
  IQVRoomWhiteboardControllerWrap: 'startWhiteboardShare' | 'stopMemberWhiteboardShare' | 'stopWhiteboardShare';
  IQVRoomAnnotationControllerWrap: 'startAnnotationShare' | 'stopAnnotationShare';
  IQVRoomContextWrap: 'changeMyName' | 'changeMemberName' | 'changeMemberRole' | 'changeMembersRole' | 'handOverMyRole' | 'kickMemberOut' | 'leaveRoom' | 'endRoom' | 'lockRoom' | 'unlockRoom' | 'updateRoomProperty' | 'deleteRoomProperty' | 'updateMemberProperty' | 'deleteMemberProperty' | 'startCloudRecord' | 'stopCloudRecord' | 'rejoinAfterAdmittedToRoom' | 'enableRoomBlacklist';
  IQVPreviewRoomContextWrap: never;
  IQVPreviewRoomRtcController: never;
  IQVVornServiceWrap: 'uploadResource';
  IQVMessageChannelServiceWrap: 'sendCustomMessage' | 'queryUnreadMessageList' | 'clearUnreadCount' | 'deleteSessionMessage' | 'deleteAllSessionMessage' | 'getSessionMessagesHistory' | 'sendCustomMessageToRoom';
  IQVRoomChatControllerWrap: 'joinChatroom' | 'leaveChatroom' | 'sendBroadcastTextMessage' | 'sendDirectTextMessage' | 'sendGroupTextMessage' | 'fetchChatRoomMembers' | 'sendTextMessage' | 'sendFileMessage' | 'sendImageMessage' | 'cancelSendFileMessage' | 'downloadAttachment' | 'cancelDownloadAttachment' | 'fetchChatroomHistoryMessages' | 'recallChatroomMessage' | 'sendBroadcastCustomMessage';
}

/** The listener kinds every class takes, by class name. */
export interface ListenerKindNames {
  IQVParloWrap: 'global';
  IQVAuthServiceWrap: 'auth';
  IQVRoomServiceWrap: never;
  IQVRoomRtcControllerWrap: never;
  IQVRoomLiveControllerWrap: never;
  IQVWaitingRoomControllerWrap: 'waitingRoom';
  IQVRoomSIPControllerWrap: never;
  IQVRoomAppInviteControllerWrap: never;
  IQVRoomWhiteboardControllerWrap: never;
  IQVRoomAnnotationControllerWrap: never;
  IQVRoomContextWrap: 'room' | 'rtcStats';
  IQVPreviewRoomContextWrap: 'previewRoom';
  IQVPreviewRoomRtcController: never;
  IQVVornServiceWrap: never;
  IQVMessageChannelServiceWrap: 'messageChannel';
  IQVRoomChatControllerWrap: never;
}

/** The add and remove methods of every listener kind. */
export interface ListenerMethods {
  global: { add: 'addGlobalEventListener'; remove: 'removeGlobalEventListener' };
  auth: { add: 'addAuthListener'; remove: 'removeAuthListener' };
  waitingRoom: { add: 'addListener'; remove: 'removeListener' };
  room: { add: 'addRoomListener'; remove: 'removeRoomListener' };
  rtcStats: { add: 'addRtcStatsListener'; remove: 'removeRtcStatsListener' };
  previewRoom: { add: 'addPreviewRoomListener'; remove: 'removePreviewRoomListener' };
  messageChannel: { add: 'addMessageChannelListener'; remove: 'removeMessageChannelListener' };
}

export declare const asyncMethods: { readonly [C in keyof AsyncMethodNames]: { readonly [M in AsyncMethodNames[C]]: number } };
export declare const listenerKinds: {
  readonly [K in keyof ListenerMethods]: { readonly className: string; readonly add: ListenerMethods[K]['add']; readonly remove: ListenerMethods[K]['remove'] };
};
