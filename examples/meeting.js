'use strict';
// A whole meeting against the simulated parlo SDK: what an app does, step by step,
// with what it sees printed as it happens. Run with `npm start`.

const os = require('node:os');
const path = require('node:path');
const brimo = require('..');
const video = require('./video');
const { media } = require('./media');
const sim = require('../sim');
const { promised, ParloError } = require('../lib/promises');
const { listen } = require('../lib/events');
const { once } = require('node:events');

const say = (...args) => console.log('[meeting]', ...args);
const call = (fn) => new Promise((resolve) => fn((...result) => resolve(result)));
// Members, roles, chat messages and waiting people in a line: "Bob (member)", "cohost",
// "Bob: morning all", "Dee (waiting)".
const brief = (value) => {
  if (Array.isArray(value)) return value.map(brief);
  if (value && typeof value === 'object' && 'role' in value) return `${value.name} (${value.role.name})`;
  if (value && typeof value === 'object' && 'params' in value) return value.name;
  if (value && typeof value === 'object' && 'messageType' in value) return `${value.fromNick}: ${value.text ?? value.displayName ?? value.messageType}`;
  if (value && typeof value === 'object' && 'joinTime' in value) return `${value.name} (waiting)`;
  if (value && typeof value === 'object' && 'memberCount' in value) return `${value.memberCount} waiting`;
  return value;
};
// Lets events already raised by the SDK reach their listeners.
const nextTick = () => new Promise((resolve) => setTimeout(resolve, 20));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Before joining: the preview room shows the camera, plays a sound through the chosen
// speaker and listens to the microphone, then tries the effects.
async function previewBeforeJoining(kit, me) {
  const previewRoom = kit.getRoomService().getPreviewRoomContext();
  const preview = previewRoom.getPreviewRoomRtcController();
  const volumes = [];
  const listener = previewRoom.addPreviewRoomListener((event, ...payload) => {
    if (event === 'onLocalAudioVolumeIndication') volumes.push(payload[1] ? `${payload[0]}*` : payload[0]);
    else say('preview event', event, ...payload);
  });

  // The camera: our own frames, polled like anyone's, the newest saved as a PNG.
  say('cameras:', preview.enumCameraDevices().map((d) => d.deviceName).join(', '), '- chosen', preview.getSelectedCameraDevice());
  sim.preview.update({ previewVideo: { width: 320, height: 180, fps: 15 } });   // the camera's format
  preview.setupLocalVideoCanvas(new Uint8Array(8), true);
  say('camera preview:', preview.startVideoPreview());
  await video.watch(kit, [me], { seconds: 1, outDir: path.join(os.tmpdir(), 'brimo-demo', 'preview'), say });
  preview.stopVideoPreview();

  // The speakers: the second pair plays a ring at 80.
  const speakers = preview.enumPlayoutDevices();
  preview.selectPlayoutDevice(speakers[1].deviceId);
  preview.setPlayoutDeviceVolume(80);
  say('speaker test on', preview.getSelectedPlayoutDevice(), 'at', preview.getPlayoutDeviceVolume(), ':',
    preview.startPlayoutDeviceTest('/tmp/brimo-demo/ring.wav'));
  await sleep(300);
  preview.stopPlayoutDeviceTest();

  // The microphone: someone says a few words while the test reports every 100 ms
  // (* where it heard a voice).
  say('microphone test on', preview.getDefaultRecordDevice().deviceName, ':', preview.startRecordDeviceTest(100));
  for (const level of [10, 150, 220, 90, 5]) {
    sim.preview.update({ microphoneLevel: level });
    await sleep(220);
  }
  preview.stopRecordDeviceTest();
  say('microphone volumes:', volumes.join(' '));

  // Effects: beauty and a virtual background, whose outcome the listener hears.
  preview.startBeauty('/opt/brimo-demo/beauty');
  preview.enableBeauty(true);
  preview.setBeautyEffect(1, 0.6);
  preview.enableVirtualBackground(true, '/tmp/brimo-demo/beach.png', false, 1);
  await nextTick();
  preview.stopBeauty();
  previewRoom.removePreviewRoomListener(listener);
}

// In the room: a compact line of the latest statistics every second, until stopped.
function showStatistics(room, roomUuid) {
  sim.stats.configure(roomUuid, { intervalMs: 500, lossRate: 1 });   // how often the SDK reports here
  const latest = {};
  const id = room.addRtcStatsListener((event, payload) => {
    latest[event] = payload;
  });
  const kb = (bytes) => `${(bytes / 1024).toFixed(0)} KB`;
  const timer = setInterval(() => {
    const s = latest.onRtcStats;
    if (!s) return;
    const videos = Object.entries(latest.onRemoteVideoStats || {})
      .map(([user, layers]) => `${user} ${layers.map((l) => `${l.width}x${l.height}@${l.receivedFrameRate}`).join('+')}`);
    say(`stats ${s.totalDuration}s | up ${s.txAudioKBitRate + s.txVideoKBitRate} kbps (${kb(s.txBytes)}) | down`,
      `${s.rxAudioKBitRate + s.rxVideoKBitRate} kbps (${kb(s.rxBytes)}) | rtt ${s.upRtt} ms | loss ${s.rxVideoPacketLossRate}%`,
      `| cpu ${s.cpuAppUsageRatio}% | video ${videos.join(', ') || '-'}`);
  }, 1000);
  return () => {
    clearInterval(timer);
    room.removeRtcStatsListener(id);
  };
}

// --- collaboration scenes: each gets { kit, room, roomUuid, heard, act } of the meeting ---

// Events a listener hears, by name: `next(name)` before the event is caused, `hear`
// from the listener.
function waiter() {
  const waiting = new Map();
  return {
    next: (event) => new Promise((resolve) => waiting.set(event, resolve)),
    hear: (event, payload) => {
      waiting.get(event)?.(payload);
      waiting.delete(event);
    },
  };
}

// The whiteboard: the drawing page (a web view in the app; here a function) hears the
// SDK's strings, and the app relays the page's steps back: login, then authentication.
async function whiteboardScene({ room, roomUuid, act }) {
  const wb = room.getWhiteboardController();
  say('whiteboard at', wb.getWhiteboardUrl());
  const page = waiter();
  wb.setupWhiteboardCanvas((event, text) => {
    say('whiteboard page hears', event, text);
    if (event === 'onLogin') wb.auth();  // the page logged in with that: relay its authentication
    page.hear(event, text);
  });
  const drawing = page.next('onDrawEnableChanged');
  wb.setEnableDraw(true);  // the page hears it once it is in
  wb.login();              // the page has loaded: relay its login
  await drawing;
  say('whiteboard handshake:', sim.whiteboard.get(roomUuid).handshake);
  const tools = page.next('onToolConfigChanged');
  sim.whiteboard.push(roomUuid, 'onToolConfigChanged', JSON.stringify({ pen: 'red', width: 3 }));
  await tools;
  await act('onMemberWhiteboardStateChanged', (cb) => wb.startWhiteboardShare(cb));
  say('sharing the whiteboard:', wb.getWhiteboardSharingUserUuid());
  await act('onMemberWhiteboardStateChanged', (cb) => wb.stopWhiteboardShare(cb));
  wb.logout();
}

// The message channel: Cy asks for the floor with a custom command, we grant it and tell
// the room; then a direct message from Cy, unread until we read it.
async function channelScene({ kit, roomUuid }) {
  const channel = kit.getMessageChannelService();
  const { next, hear } = waiter();
  const id = channel.addMessageChannelListener((event, payload) => {
    say('channel event', event, JSON.stringify(payload));
    hear(event, payload);
  });
  const asked = next('onCustomMessageReceived');
  sim.channel.custom({ roomUuid, senderUuid: 'cy', data: '{"floor":"please"}', commandId: 7 });
  const request = await asked;
  const [granted] = await call((cb) => channel.sendCustomMessage(roomUuid, request.senderUuid, 8, '{"floor":"yours"}', cb));
  const [told] = await call((cb) => channel.sendCustomMessageToRoom(roomUuid, 9, '{"speaker":"cy"}', cb));
  say('floor granted:', granted, 'room told:', told);

  const arrived = next('onSessionMessageRecentChanged');
  sim.channel.receive({ sessionId: 'cy', sessionType: 1, data: 'can you share the notes?', fromAccount: 'cy', fromNick: 'Cy' });
  const [recent] = await arrived;
  say('unread from', recent.fromNick, recent.unreadCount);
  const [, , unread] = await call((cb) => channel.queryUnreadMessageList('cy', 0, cb));
  say('reading:', unread.map((m) => m.data));
  const cleared = next('onSessionMessageRecentChanged');
  await call((cb) => channel.clearUnreadCount('cy', 0, cb));
  say('unread from Cy now', (await cleared)[0].unreadCount);
  channel.removeMessageChannelListener(id);
}

// Calling people in: Dan by phone, who declines, and Eve in the app, who accepts and joins.
async function invitationsScene({ room, roomUuid, heard, act }) {
  const sip = room.getSIPController();
  const [, [code, , callee]] = await act('onMemberSIPInviteStateChanged', (cb) => sip.callByNumber('5550100', '+1', 'Dan', cb));
  say('calling Dan by phone:', code, callee, 'ringing:', room.getInSIPInvitingMembers().map((m) => m.name));
  const declined = heard('onMemberSIPInviteStateChanged');
  sim.invites.decline(roomUuid, callee.userUuid);
  await declined;
  await act('onMemberSIPInviteStateChanged', (cb) => sip.removeCall(callee.userUuid, cb));

  const app = room.getAppInviteController();
  await act('onMemberAppInviteStateChanged', (cb) => app.callByUserUuid('eve', cb));
  say('ringing in the app:', room.getInAppInvitingMembers().map((m) => m.uuid));
  const joined = heard('onMemberJoinRoom');
  sim.invites.accept(roomUuid, 'eve');
  await joined;
  say('members now:', [room.getLocalMember(), ...room.getRemoteMembers()].map(brief).join(', '));
}

// Scene: Dee waits in the waiting room and asks to come in; Ann answers in the waiting
// room's chat, lets her in (she joins the room), and Dee greets everyone.
async function waitingRoomScene({ room, roomUuid, heard, act }) {
  const waitingRoom = room.getWaitingRoomController();
  const lobby = waitingRoom.addListener((event, ...payload) => say('waiting room event', event, ...payload.map(brief)));
  await call((cb) => waitingRoom.enableWaitingRoomOnEntry(cb));
  sim.waitingRoom.arrive(roomUuid, { uuid: 'dee', name: 'Dee' });
  sim.chat.receive(roomUuid, { fromUserUuid: 'dee', fromNick: 'Dee', text: 'hello, may I join?' }, { waitingRoom: true });
  await heard('onReceiveChatroomMessages');
  const [, , people] = await call((cb) => waitingRoom.getMemberList(0, 10, 0, cb));
  say('waiting:', people.map(brief));
  const lobbyChat = room.getWaitingRoomChatController();
  await act('onReceiveChatroomMessages', (cb) => lobbyChat.sendDirectTextMessage('dee', 'one moment, Dee', cb));
  await act('onMemberJoinRoom', (cb) => waitingRoom.admitMember('dee', false, cb));
  sim.chat.receive(roomUuid, { fromUserUuid: 'dee', fromNick: 'Dee', text: 'hi everyone!' });
  await heard('onReceiveChatroomMessages');
  say('waiting room now:', waitingRoom.getWaitingRoomInfo().memberCount, 'waiting');
  waitingRoom.removeListener(lobby);
}

// Scene: Ann shares her slides; the room sees the file's progress, then the file.
async function fileScene({ room, heard }) {
  const slides = '/tmp/brimo-demo/slides.pdf';
  sim.chat.setFile(slides, { size: 3 * 1024 * 1024, steps: 4, stepMs: 50 });
  const arrived = heard('onReceiveChatroomMessages');
  const [code, , file] = await call((cb) => room.getChatController().sendFileMessage('slides-1', slides, [], cb));
  await arrived;
  say('slides sent:', code, file.displayName, `${file.size} bytes`, file.url);
}

// Scene: the stand-up goes live for the rest of the team, gets a cover, and stops.
async function liveScene({ room, act }) {
  const live = room.getLiveController();
  const [, [code, , addresses]] = await act('onRoomLiveStateChanged', (cb) => live.startLive(
    { title: 'Stand-up, live', liveLayout: 1, userUuidList: ['cy'] }, cb));
  say('live:', code, 'watch at', addresses.pullHlsUrl, 'state', live.getLiveInfo().state);
  await act('onRoomLiveBackgroundInfoChanged', (cb) => live.updateBackgroundInfo(
    { coverUrl: 'https://img.parlo.example/standup-cover.png' }, cb));
  await act('onRoomLiveStateChanged', (cb) => live.stopLive(cb));
  say('live stopped; state', live.getLiveInfo().state);
}

// The same room through brimo/promises and brimo/events: awaited calls, a failure code
// as a ParloError, and room events from an EventEmitter.
async function promisesScene({ room }) {
  const awaited = promised(room);
  const events = listen(room, 'room');
  const renamed = once(events, 'onMemberNameChanged');
  await awaited.changeMyName('Ann (host)');
  const [member, name] = await renamed;
  say('promised changeMyName: the emitter heard', member.uuid, 'now called', name);
  sim.answer('unlockRoom', { code: 1013, message: 'the room is not locked by you' });
  try {
    await awaited.unlockRoom();
  } catch (e) {
    say('promised unlockRoom rejected:', e instanceof ParloError, e.method, e.code, e.message);
  }
  events.close();
}

async function main() {
  const kit = new brimo.IQVParloWrap();

  kit.initialize(
    {
      appKey: 'demo-app-key',
      logPath: '/tmp/brimo-demo/logs',
      logLevel: 3,
      reuseIM: false,
      serverConfig: {
        parloServerConfig: { roomServer: 'https://room.parlo.example' },
        imServerConfig: { lbs: 'https://lbs.parlo.example', lbsBackupAddress: ['https://lbs2.parlo.example'] },
        rtcServerConfig: { lbsServer: 'https://rtc-lbs.parlo.example', useIPv6: false },
        whiteboardServerConfig: { webServer: 'https://wb.parlo.example' },
      },
      serverUrl: 'https://parlo.example',
      extras: { region: 'eu-west', retries: 3 },
      whiteboardAppConfig: { vornAntiLeech: true, canvasBgColor: 'rgba(250, 250, 250, 255)' },
    },
    (code, message) => say('initialized:', code, message || '(ok)'),
  );
  say('initialized?', kit.isInitialized());
  say('versions', kit.getSdkVersions());
  say('device id', kit.getDeviceId());
  say('log path', kit.getCurrentLogPath());
  say('network type', kit.getNetworkType());

  const [code, message, url] = await call((cb) => kit.uploadLog(cb));
  say('log uploaded:', code, message || '(ok)', url);

  // Account: listen to auth events, log in, upload a file, log out.
  const auth = kit.getAuthService();
  const authListener = auth.addAuthListener((event, code) => say('auth event', event, code));
  const globalListener = kit.addGlobalEventListener((event, text) => say('global event', event, text));
  sim.emit('global', 'onRtcEngineEvent', ['rtc engine ready']);
  const [loginCode, loginMessage] = await call((cb) => auth.login('ann@example.com', 'demo-token', cb));
  say('logged in:', loginCode, loginMessage || '(ok)', 'isLoggedIn', auth.isLoggedIn());
  sim.emit('auth', 'onAuthEvent', [1]);
  await nextTick();

  const vorn = kit.getVornService();
  vorn.setVornDownloadFilePath('/tmp/brimo-demo/downloads');
  const [upCode, , objectUrl] = await call((cb) => vorn.uploadResource('/tmp/brimo-demo/agenda.pdf', cb));
  say('uploaded agenda:', upCode, objectUrl);

  await previewBeforeJoining(kit, 'ann@example.com');   // the preview's frames are the signed-in user's

  // A room: create it, join it, watch what happens in it, then leave.
  const rooms = kit.getRoomService();
  const roomUuid = 'demo-standup';
  const [createCode] = await call((cb) => rooms.createRoom(
    { roomUuid, roomName: 'Daily stand-up', password: 'demo', initialProperties: { agenda: 'blockers' } },
    { enableChatroom: true },
    cb,
  ));
  say('room created:', createCode);
  const [joinCode, , room] = await call((cb) => rooms.joinRoom(
    { roomUuid, userName: 'Ann', role: 'host', password: 'demo' },
    { enableMyAudioDeviceOnJoinRtc: true },
    cb,
  ));
  const me = room.getLocalMember();
  say('joined', room.getRoomName(), joinCode, 'properties', room.getRoomProperties());
  say('I am', me.name, `(${me.uuid}, ${me.role.name})`, 'audio on?', me.isAudioOn);

  // Every room event is printed as it arrives; `heard(name)` waits for the next one of a name.
  const waiting = new Map();
  const heard = (event) => new Promise((resolve) => waiting.set(event, resolve));
  const roomListener = room.addRoomListener((event, ...payload) => {
    say('room event', event, ...payload.map(brief));
    waiting.get(event)?.();
    waiting.delete(event);
  });
  // An operation of ours and the event it causes, whichever arrives first.
  const act = (event, start) => Promise.all([heard(event), call(start)]);
  const stopStatistics = showStatistics(room, roomUuid);

  sim.rooms.addMember(roomUuid, [
    { uuid: 'bob', name: 'Bob', role: 'member' },
    { uuid: 'cy', name: 'Cy', role: 'member', isVideoOn: true },
  ]);
  await heard('onMemberJoinRoom');
  say('members now:', [room.getLocalMember(), ...room.getRemoteMembers()].map(brief).join(', '));

  // Video: Bob's and Cy's cameras send frames; poll them for a few seconds, print what
  // arrived and save the newest frame of each as a PNG.
  const cameras = sim.frames.start({ room: roomUuid, userUuids: ['bob', 'cy'], width: 320, height: 180, fps: 15 });
  await video.watch(kit, ['bob', 'cy'], { seconds: 3, outDir: path.join(os.tmpdir(), 'brimo-demo', 'video'), say });
  sim.frames.stop(cameras);

  // Media: devices, my microphone, capture sources and a screen share.
  await media({ room, act, call, say, outDir: path.join(os.tmpdir(), 'brimo-demo', 'media') });

  sim.rooms.updateMember(roomUuid, 'bob', { isAudioOn: true });
  await heard('onMemberAudioMuteChanged');
  sim.rooms.chat(roomUuid, { fromUserUuid: 'bob', fromNick: 'Bob', text: 'morning all', time: Date.now() });
  await heard('onReceiveChatroomMessages');
  sim.rooms.setProperties(roomUuid, { agenda: 'demo, blockers' });
  await heard('onRoomPropertiesChanged');
  await act('onRoomPropertiesChanged', (cb) => room.updateRoomProperty('noteTaker', 'cy', '', cb));
  await act('onMemberRoleChanged', (cb) => room.changeMemberRole('cy', 'cohost', cb));
  await act('onRoomLockStateChanged', (cb) => room.lockRoom(cb));
  sim.rooms.removeMember(roomUuid, 'bob');
  await heard('onMemberLeaveRoom');

  // Collaboration: the whiteboard, the message channel, calling people in.
  const scene = { kit, room, roomUuid, heard, act };
  await whiteboardScene(scene);
  await channelScene(scene);
  await invitationsScene(scene);

  const [, , page] = await call((cb) => rooms.fetchChatroomHistoryMessages(roomUuid, { limit: 10 }, cb));
  say('chat history:', page.map(brief));
  say('room properties:', room.getRoomProperties(), 'locked?', room.isRoomLocked());

  // A guest in the waiting room, slides through the chat, a live stream.
  await waitingRoomScene(scene);
  await fileScene(scene);
  await liveScene(scene);
  await promisesScene(scene);

  stopStatistics();
  room.removeRoomListener(roomListener);
  const [leaveCode] = await call((cb) => room.leaveRoom(cb));
  say('left the room:', leaveCode, 'rooms joined now:', sim.rooms.list().length);

  const [outCode] = await call((cb) => auth.logout(cb));
  say('logged out:', outCode, 'isLoggedIn', auth.isLoggedIn());
  auth.removeAuthListener(authListener);
  kit.removeGlobalEventListener(globalListener);

  kit.release();
  say('released; initialized?', kit.isInitialized());
  say('the SDK received', sim.journal().length, 'calls:', sim.journal().map((e) => e.op).join(', '));
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
