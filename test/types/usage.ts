// Compiled with tsc --noEmit: the declarations describe what script really uses.
import { IQVParloWrap, SdkVersions, ParloOptions, VideoFrameRequest, RoomMember } from 'brimo';

const kit = new IQVParloWrap();
const options: ParloOptions = {
  appKey: 'key',
  logLevel: 3,
  serverConfig: { imServerConfig: { lbsBackupAddress: ['a'] }, rtcServerConfig: { useIPv6: true } },
  extras: { region: 'eu', retries: 3 },
  whiteboardAppConfig: { vornAntiLeechExpire: 60 },
};
const one: 1 = kit.initialize(options, (code: number, message: string) => void [code, message]);
const versions: SdkVersions = kit.getSdkVersions();
const logged: boolean = kit.getAuthService().isLoggedIn();
kit.getAuthService().login('ann', 'token', (code) => void code);
kit.uploadLog((code, message, url: string) => void [code, message, url]);
kit.getVornService().uploadResource('/tmp/a', (code, message, text) => void text.length);
void [one, versions, logged];

const authId: number = kit.getAuthService().addAuthListener((name, code) => {
  const n: 'onAuthEvent' = name;
  void [n, code.toFixed()];
});
kit.getAuthService().removeAuthListener(authId);
kit.addGlobalEventListener((name, text: string) => void [name, text.length]);

// @ts-expect-error initialize needs a callback
kit.initialize({});
// @ts-expect-error logLevel is a number
kit.initialize({ logLevel: 'high' }, () => {});

const frameRequest: VideoFrameRequest = { frame: { userUuid: 'u1', bSubVideo: false, buffer: { bytes: new Uint8Array(0) } } };
kit.startListenVideoFrame();
kit.getVideoFrame([frameRequest]);
if (frameRequest.code === 1) frameRequest.frame.buffer.bytes = new Uint8Array(frameRequest.frame.buffer.vOffset ?? 0);
kit.stopListenVideoFrame();
// @ts-expect-error BigInt64Array holds no pixels
kit.getVideoFrame([{ frame: { userUuid: 'u1', bSubVideo: false, buffer: { bytes: new BigInt64Array(1) } } }]);

// Rooms: joining hands a context (or nothing), events narrow by name.
const roomService = kit.getRoomService();
roomService.createRoom({ roomUuid: 'r1', templateId: 3, initialProperties: { topic: 'q3' } }, { enableRtc: true }, (code) => void code);
roomService.joinRoom({ roomUuid: 'r1', userName: 'Ann', role: 'host' }, {}, (code, message, room) => {
  if (!room) return void [code, message];
  const roomListener = room.addRoomListener((...event) => {
    if (event[0] === 'onMemberJoinRoom') void event[1].map((m) => ('uuid' in m ? m.name : ''));
    if (event[0] === 'onRoomPropertiesChanged') void Object.values(event[1]).map((p) => p.value.length);
    if (event[0] === 'onRtcChannelError') void (typeof event[1] === 'string' ? event[2] : event[2].length);
    if (event[0] === 'onReceiveChatroomMessages') {
      for (const m of event[1]) if ('messageType' in m && m.messageType === 'image') void [m.width, m.path];
    }
  });
  const me = room.getLocalMember();
  const role: string = 'role' in me ? me.role.params.screen.videoProfile : '';
  room.changeMembersRole({ bob: 'cohost' }, (code, message) => void [code, message, role]);
  room.startCloudRecord({ modeList: [{ mode: 1 }] }, () => {});
  room.addRtcStatsListener((name, report) => void [name, report]);
  room.removeRoomListener(roomListener);
  room.leaveRoom(() => {});
});
roomService.fetchChatroomHistoryMessages('r1', { limit: 20 }, (code, message, page) => void page.map((m) => m.time));
roomService.fetchRoomTemplate('3', (code, message, template) => void template.permissions.room.properties.map((p) => p.roles));
// @ts-expect-error templateId is a number
roomService.createRoom({ templateId: '3' }, {}, () => {});
// @ts-expect-error a room listener gets the event name first
kit.getRoomService().getRoomContext('r1').addRoomListener((members: RoomMember[]) => void members);

const rtc = roomService.getRoomContext('r1').getRtcController();
const firstCamera: string | undefined = rtc.enumCameraDevices()[0]?.deviceName;
const defaultMic = rtc.getDefaultRecordDevice();
void [firstCamera, 'deviceId' in defaultMic ? defaultMic.deviceId : ''];
rtc.setupLocalVideoCanvas(new Uint8Array(8), true);
rtc.enableAudioVolumeIndication(true, 200);
rtc.enableAudioVolumeIndication('id', true, 200, false);
rtc.getScreenCaptureSourceList((code, message, sources) => {
  const thumb: Uint8Array | undefined = sources[0]?.thumbImage.data;
  rtc.startScreenShare(sources[0].id, { limitFrameRate: 15 }, () => void thumb);
});
rtc.takeLocalSnapshot(0, (code, message, path) => void path.length);
rtc.startLocalRecord({ fileName: 'a.mp4', recordAudio: true });
rtc.updateLocalRecordLayouts([{ uid: 'bob', width: 640 }]);
// @ts-expect-error a share config has no such key
rtc.startScreenShare(0, { fps: 10 }, () => {});

// The preview room before joining, and a room's statistics.
const previewRoom = roomService.getPreviewRoomContext();
const previewRtc = previewRoom.getPreviewRoomRtcController();
if (previewRtc) {
  const cameras: string[] = previewRtc.enumCameraDevices().map((d) => d.deviceName);
  previewRtc.setupLocalVideoCanvas(new Uint8Array(8), true);
  previewRtc.enableVirtualBackground(true, '/tmp/beach.png', false);
  previewRtc.setBeautyEffect(2, 0.3);
  const recording: number | null = previewRtc.startLocalRecord({ fileName: 'preview.mp4' });
  void [cameras, recording, previewRtc.startRecordDeviceTest(200), previewRtc.getSelectedCameraDevice().length];
  // @ts-expect-error a playout test plays a file
  previewRtc.startPlayoutDeviceTest();
}
const previewListener = previewRoom.addPreviewRoomListener((...event) => {
  if (event[0] === 'onLocalAudioVolumeIndication') void (event.length === 3 ? event[2] : event[1] + 1);
  if (event[0] === 'onCameraDeviceChanged') void [event[1].length, event[2]];
  // @ts-expect-error the preview room has no member events
  if (event[0] === 'onMemberJoinRoom') void event;
});
previewRoom.removePreviewRoomListener(previewListener);
roomService.getRoomContext('r1').addRtcStatsListener((...report) => {
  if (report[0] === 'onRtcStats') void (report[1].txBytes - report[1].txAudioBytes);
  if (report[0] === 'onRemoteVideoStats') void Object.entries(report[1]).map(([user, layers]) => [user, layers[0].width]);
  if (report[0] === 'onNetworkQuality') void report[1].map((q) => q.upStatus);
});
// Chat, live streams and the waiting room of a joined room.
const standup = kit.getRoomService().getRoomContext('r1');
const chat = standup.getChatController();
chat.sendFileMessage('f-1', '/tmp/deck.pdf', ['bob'], (code, message, sent) => {
  if ('messageType' in sent && sent.messageType === 'file') void [sent.size, sent.path];
});
chat.sendImageMessage('i-1', '/tmp/cat.png', 640, 480, [], () => {});
chat.fetchChatRoomMembers(0, 20, (code, message, members) => void members.map((m) => m.nick + m.avatar));
chat.fetchChatroomHistoryMessages({ limit: 5 }, (code, message, page) => void page.map((m) => m.chatroomType));
standup.getWaitingRoomChatController().recallChatroomMessage('m-1', Date.now(), (code) => void code);
// @ts-expect-error recipients are a list
chat.sendTextMessage('m-2', 'hi', 'bob', () => {});

const live = standup.getLiveController();
live.startLive({ title: 'All hands', liveLayout: '3', userUuidList: ['bob'] }, (code, message, at) => void at.pullHlsUrl);
const liveInfo = live.getLiveInfo();
if (liveInfo) void [liveInfo.state, liveInfo.userUuidList];
live.updateBackgroundInfo({ coverUrl: 'c.png' }, (code, message, sequence: number) => void sequence);
live.getBackgroundInfo((code, message, images) => void images.backgroundUpdatedSequence);
live.stopLive(() => {});
// @ts-expect-error stopLive takes its callback only
live.stopLive({}, () => {});

const lobby = standup.getWaitingRoomController();
const lobbyId: number = lobby.addListener((...event) => {
  if (event[0] === 'onMemberJoin' && 'uuid' in event[1]) void [event[1].joinTime, event[2]];
  if (event[0] === 'onWaitingRoomInfoUpdated') void event[1].backgroundImage;
  if (event[0] === 'onManagersUpdated') void event[1].map((m) => ('role' in m ? m.role.name : ''));
  if (event[0] === 'onAllMembersKicked') void event.length;
});
const lobbyInfo = lobby.getWaitingRoomInfo();
if (lobbyInfo) void [lobbyInfo.chatroomID, lobbyInfo.backgroundImageUrl];
lobby.getMemberList(0, 10, 0, (code, message, people) => void people.map((p) => ('name' in p ? p.name : '')));
lobby.admitMember('dee', false, () => {});
lobby.removeListener(lobbyId);
// @ts-expect-error a waiting-room listener gets the event name first
lobby.addListener((info: { memberCount: number }) => void info);
