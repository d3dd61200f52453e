// Compiled with tsc --noEmit: a test of a meeting UI scripting the simulated SDK.
import * as sim from 'brimo/sim';
import type { FramePattern, SimRoomState } from 'brimo/sim';

sim.reset();
sim.answer('login', { code: 401, message: 'bad token' });
sim.answer('uploadLog', { mode: 'sync' });
sim.answer('uploadLog', { mode: 'held', delayMs: 5 });
sim.answer('getNetworkType', { ret: 3, times: -1 });
sim.answer('joinRoom', { result: { remoteMembers: [{ uuid: 'bob' }] } });
sim.answer('logout', { mode: 'twice' });
sim.answer('logout', { mode: 'never' });
const bridge: { calls: number; adapters: number } = sim.bridgeStats();
const dropped: number | undefined = sim.counters().completionsDropped;
void bridge;
void dropped;
const released: number = sim.releaseHeld();
sim.setLink('authService', false);
sim.setLink('chatController@r1', false);
const logins: string[] = sim.journal('login').map((e) => String(e.args[0]));
const { outstanding, destroyCalls = 0 } = sim.counters();
const { alive: carriersAlive, made: carriersMade }: { alive: number; made: number } = sim.carriers();
const reached: number = sim.emit('room', 'onMemberJoinRoom', [[{ uuid: 'cy' }]], { room: 'r1', mode: 'sync', repeat: 2 });
void [released, logins, outstanding + destroyCalls, carriersAlive + carriersMade, reached, sim.listeners('auth'), sim.links()['authService']];

const id = sim.frames.start({ room: 'r1', userUuids: ['bob', 'cy'], width: 320, height: 180, fps: 15, sub: true });
sim.frames.push({ room: 'r1', user: 'bob', bytes: new Uint8Array(64 * 36 * 1.5), mode: 'sync' });
const running: boolean = sim.frames.status(id)?.running ?? false;
const ticks: number = sim.frames.stop(id)[String(id)].ticks;
const seen: FramePattern | null = sim.frames.inspect(new Uint8Array(64 * 36 * 1.5), 64, 36);
const stored: number = sim.frames.hubStats().stored;
void [running, ticks, seen?.whole, stored];

sim.rooms.addMember('r1', { uuid: 'bob', name: 'Bob', role: 'member' });
sim.rooms.updateMember('r1', 'bob', { isAudioOn: true, role: { name: 'cohost', limit: 4 } }, { by: 'ann' });
sim.rooms.chat('r1', [{ fromNick: 'Bob', text: 'hi' }, { messageType: 'image', url: 'u', width: 8 }]);
sim.rooms.setProperties('r1', { topic: 'q3' });
sim.rooms.update('r1', { locked: true, localMember: null });
sim.rooms.emit('r1', 'onRtcChannelError', 5, 'no route');
sim.rooms.setTemplate('*', { roles: ['host', { name: 'member', limit: 50 }], roomPropertyPermissions: [{ name: 'topic', roles: ['host'] }] });
sim.rooms.setHistory('r1', [{ text: 'earlier' }, null]);
sim.rooms.setLink('r1', 'roomContext', false);
const room: SimRoomState | null = sim.rooms.get('r1');
const roles: string[] = room ? room.remoteMembers.map((m) => m.role.name) : [];
void [roles, sim.rooms.list()];
sim.rooms.end('r1', 2);
sim.rooms.reset();

sim.chat.receive('r1', { fromNick: 'Dee', text: 'may I?' }, { waitingRoom: true });
sim.chat.setFile('/tmp/deck.pdf', { size: 4096, steps: 8 });
const sending: string[] = sim.chat.get('r1').sending;
sim.live.setState('r1', 1);
sim.live.setBackground('r1', { coverUrl: 'c.png' });
const liveState: number = sim.live.get('r1').live.state;
sim.waitingRoom.arrive('r1', [{ uuid: 'dee', name: 'Dee' }], { reason: 0 });
sim.waitingRoom.update('r1', { logo: 'logo.png', isEnabledOnEntry: true });
const waitingCount: number = sim.waitingRoom.get('r1').info.memberCount;
const heardBy: number = sim.emit('waitingRoom', 'onMemberAdmitted', ['dee'], { room: 'r1' });
const chatOf = sim.journal('waitingRoomChatController.sendTextMessage')[0]?.interface;
void [sending, liveState, waitingCount, heardBy, chatOf];
// @ts-expect-error people arriving need a uuid
sim.waitingRoom.arrive('r1', { name: 'Nobody' });

// @ts-expect-error completions run 'async', 'sync' or 'held'
sim.answer('login', { mode: 'later' });
// @ts-expect-error no listener kind of that name
sim.emit('chat', 'onReceiveChatroomMessages', []);
// @ts-expect-error setLink needs present
sim.setLink('roomService');
// @ts-expect-error inspect reads one element per byte
sim.frames.inspect(new Int32Array(864), 64, 36);
// @ts-expect-error a frame generator needs its settings
sim.frames.start();

sim.rtc.setDevices('r1', { cameras: [{ deviceId: 'cam', defaultDevice: true }] });
sim.rtc.setSources('r1', [{ type: 1, id: 42, thumbnail: { width: 2, height: 1, bytes: new Uint8Array(8) } }]);
sim.rtc.update('r1', { playoutMute: true, recordVolume: 3000000000 });
const canvasWindow: number | undefined = sim.rtc.get('r1')?.settings.localVideoCanvas?.window;
void canvasWindow;
// @ts-expect-error what the SDK was told is not scriptable
sim.rtc.update('r1', { settings: {} });

sim.preview.update({ microphoneLevel: 180, cameras: [{ deviceId: 'cam-9', defaultDevice: true }] });
const previewing: boolean = sim.preview.get().videoPreview;
const effects: Record<string, number> = sim.preview.get().beauty.effects;
sim.setLink('previewRoomRtcController', false);
sim.emit('previewRoom', 'onRecordDeviceChanged', ['mic-2', false]);
sim.frames.push({ kind: 'previewRoom', user: 'ann' });
const beauty = sim.journal('IQVPreviewRoomRtcController.startBeauty').map((e) => e.interface);
sim.stats.configure('r1', { intervalMs: 200, lossRate: 2 });
const sent = sim.stats.report('r1', { rtcStats: { txBytes: 2 ** 40 } }, { mode: 'sync' });
const covered: number = sim.stats.get('r1').coveredMs;
void [previewing, effects, beauty, sent.rtcStats.txBytes, sent.remoteVideo['bob']?.[0].layerType, covered];
// @ts-expect-error frames go to room or preview room listeners
sim.frames.push({ kind: 'chat' });
// @ts-expect-error the machine is scripted, what runs is not
sim.preview.update({ videoPreview: true });
