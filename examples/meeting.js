'use strict';
// A whole meeting against the simulated parlo SDK: what an app does, step by step,
// with what it sees printed as it happens. Run with `npm start`.

const os = require('node:os');
const path = require('node:path');
const brimo = require('..');
const video = require('./video');
const sim = require('../sim');

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

// Scene: Dee waits in the waiting room and asks to come in; Ann answers in the waiting
// room's chat, lets her in (she joins the room), and Dee greets everyone.
async function waitingRoomScene(room, roomUuid, heard, act) {
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
async function fileScene(room, heard) {
  const slides = '/tmp/brimo-demo/slides.pdf';
  sim.chat.setFile(slides, { size: 3 * 1024 * 1024, steps: 4, stepMs: 50 });
  const arrived = heard('onReceiveChatroomMessages');
  const [code, , file] = await call((cb) => room.getChatController().sendFileMessage('slides-1', slides, [], cb));
  await arrived;
  say('slides sent:', code, file.displayName, `${file.size} bytes`, file.url);
}

// Scene: the stand-up goes live for the rest of the team, gets a cover, and stops.
async function liveScene(room, act) {
  const live = room.getLiveController();
  const [, [code, , addresses]] = await act('onRoomLiveStateChanged', (cb) => live.startLive(
    { title: 'Stand-up, live', liveLayout: 1, userUuidList: ['cy'] }, cb));
  say('live:', code, 'watch at', addresses.pullHlsUrl, 'state', live.getLiveInfo().state);
  await act('onRoomLiveBackgroundInfoChanged', (cb) => live.updateBackgroundInfo(
    { coverUrl: 'https://img.parlo.example/standup-cover.png' }, cb));
  await act('onRoomLiveStateChanged', (cb) => live.stopLive(cb));
  say('live stopped; state', live.getLiveInfo().state);
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
  const [, , page] = await call((cb) => rooms.fetchChatroomHistoryMessages(roomUuid, { limit: 10 }, cb));
  say('chat history:', page.map(brief));
  say('room properties:', room.getRoomProperties(), 'locked?', room.isRoomLocked());

  await waitingRoomScene(room, roomUuid, heard, act);
  await fileScene(room, heard);
  await liveScene(room, act);

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
