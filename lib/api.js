'use strict';
// Written by scripts/api-tables.js from the contract tables: do not edit by hand.
// Every class's asynchronous methods with the position of their callback, and every
// listener kind with the class that takes it and its add and remove methods.

module.exports = {
  asyncMethods: {
    IQVParloWrap: { initialize: 1, uploadLog: 0 },
    IQVAuthServiceWrap: { login: 2, loginByDynamicToken: 3, logout: 0 },
    IQVRoomServiceWrap: { createRoom: 2, fetchRoomTemplate: 1, joinRoom: 2, getRoomCloudRecordList: 1, fetchChatroomHistoryMessages: 2, exportChatroomHistoryMessages: 1, joinRoomByInvite: 2, rejectInvite: 1 },
    IQVRoomRtcControllerWrap: { joinRtcChannel: 0, leaveRtcChannel: 0, disconnectMyAudio: 0, reconnectMyAudio: 0, muteMyAudio: 0, unmuteMyAudio: 1, muteMyVideo: 0, unmuteMyVideo: 0, muteMemberAudio: 1, unmuteMemberAudio: 1, muteMemberVideo: 1, unmuteMemberVideo: 1, stopMemberShare: 1, stopMemberSystemAudioShare: 1, startShareSystemAudio: 0, stopShareSystemAudio: 0, takeLocalSnapshot: 1, takeRemoteSnapshot: 2, getScreenCaptureSourceList: 0, startScreenShare: 2, startAppShare: 2, startRectShare: 3, stopShare: 0 },
    IQVRoomLiveControllerWrap: { startLive: 1, updateLive: 1, stopLive: 0, removeLiveStreamTask: 1, updateBackgroundInfo: 1, getBackgroundInfo: 0 },
    IQVWaitingRoomControllerWrap: { getMemberList: 3, changeMemberName: 2, enableWaitingRoomOnEntry: 0, disableWaitingRoomOnEntry: 1, admitMember: 2, expelMember: 2, putInWaitingRoom: 1, expelAllMembers: 1, admitAllMembers: 0, getWaitingRoomManagerList: 0 },
    IQVRoomSIPControllerWrap: { callByNumber: 3, callByUserUuids: 1, callByUserUuid: 1, removeCall: 1, cancelCall: 1, hangUpCall: 1, callOutRoomSystem: 1 },
    IQVRoomAppInviteControllerWrap: { callByUserUuids: 1, callByUserUuid: 1, removeCall: 1, cancelCall: 1 },
    IQVRoomWhiteboardControllerWrap: { startWhiteboardShare: 0, stopMemberWhiteboardShare: 1, stopWhiteboardShare: 0 },
    IQVRoomAnnotationControllerWrap: { startAnnotationShare: 0, stopAnnotationShare: 0 },
    IQVRoomContextWrap: { changeMyName: 1, changeMemberName: 2, changeMemberRole: 2, changeMembersRole: 1, handOverMyRole: 2, kickMemberOut: 2, leaveRoom: 0, endRoom: 0, lockRoom: 0, unlockRoom: 0, updateRoomProperty: 3, deleteRoomProperty: 1, updateMemberProperty: 3, deleteMemberProperty: 2, startCloudRecord: 1, stopCloudRecord: 0, rejoinAfterAdmittedToRoom: 0, enableRoomBlacklist: 1 },
    IQVPreviewRoomContextWrap: {},
    IQVPreviewRoomRtcController: {},
    IQVVornServiceWrap: { uploadResource: 1 },
    IQVMessageChannelServiceWrap: { sendCustomMessage: 4, queryUnreadMessageList: 2, clearUnreadCount: 2, deleteSessionMessage: 3, deleteAllSessionMessage: 2, getSessionMessagesHistory: 1, sendCustomMessageToRoom: 3 },
    IQVRoomChatControllerWrap: { joinChatroom: 0, leaveChatroom: 0, sendBroadcastTextMessage: 1, sendDirectTextMessage: 2, sendGroupTextMessage: 2, fetchChatRoomMembers: 2, sendTextMessage: 3, sendFileMessage: 3, sendImageMessage: 5, cancelSendFileMessage: 1, downloadAttachment: 3, cancelDownloadAttachment: 1, fetchChatroomHistoryMessages: 1, recallChatroomMessage: 2, sendBroadcastCustomMessage: 1 },
  },
  listenerKinds: {
    global: { className: 'IQVParloWrap', add: 'addGlobalEventListener', remove: 'removeGlobalEventListener' },
    auth: { className: 'IQVAuthServiceWrap', add: 'addAuthListener', remove: 'removeAuthListener' },
    waitingRoom: { className: 'IQVWaitingRoomControllerWrap', add: 'addListener', remove: 'removeListener' },
    room: { className: 'IQVRoomContextWrap', add: 'addRoomListener', remove: 'removeRoomListener' },
    rtcStats: { className: 'IQVRoomContextWrap', add: 'addRtcStatsListener', remove: 'removeRtcStatsListener' },
    previewRoom: { className: 'IQVPreviewRoomContextWrap', add: 'addPreviewRoomListener', remove: 'removePreviewRoomListener' },
    messageChannel: { className: 'IQVMessageChannelServiceWrap', add: 'addMessageChannelListener', remove: 'removeMessageChannelListener' },
  },
};
