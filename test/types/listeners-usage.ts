// Compiled with tsc --strict: every listener form compiles and narrows by event name,
// and the promise and event layers are typed per class and per listener kind.
import { once, on } from 'node:events';
import { IQVParloWrap, IQVRoomContextWrap, RoomListener, RoomEvents, MaybeRoomMember, RtcStats } from 'brimo';
import { promised, ParloError } from 'brimo/promises';
import { listen } from 'brimo/events';

declare const room: IQVRoomContextWrap;
const kit = new IQVParloWrap();

// Listener forms.
room.addRoomListener((name) => void name.startsWith('on'));
room.addRoomListener(() => {});
room.addRoomListener((name, a) => {
  if (name === 'onMemberJoinRoom') {
    const members: MaybeRoomMember[] = a;
    void members;
  }
  if (name === 'onRoomEnded') void a.toFixed();
  if (name === 'onRtcDisconnect') {
    const nothing: undefined = a;
    void nothing;
  }
});
room.addRoomListener((name, a, b) => {
  if (name === 'onLocalAudioVolumeIndication') {
    const vad: boolean | undefined = b;
    void [a.toFixed(), vad];
  }
  if (name === 'onRtcChannelError' && typeof a === 'number') void b.toUpperCase();
});
room.addRoomListener((name, a, b, c, d) => {
  if (name === 'onChatroomMessageAttachmentProgress') void [a.length, b.toFixed(), c.toFixed(), d.toFixed()];
});
room.addRoomListener((name, ...payload) => void [name, payload.length]);
room.addRoomListener((...event) => {
  if (event[0] === 'onMemberRoleChanged') void [event[1].length, event[2].name, event[3].limit];
});
const typed: RoomListener = (name, ...payload) => void [name, payload];
typed('onRoomEnded', 3);
// @ts-expect-error the payload follows the name
typed('onRoomEnded', 'three');
// @ts-expect-error a member list is no number
room.addRoomListener((name, a) => { if (name === 'onMemberJoinRoom') { const n: number = a; void n; } });
// @ts-expect-error names are strings
room.addRoomListener((name: number) => void name);
kit.getAuthService().addAuthListener((name) => void name);
room.addRtcStatsListener((name, stats) => {
  if (name === 'onRtcStats') {
    const totals: RtcStats = stats;
    void totals;
  }
});
room.getWaitingRoomController().addListener((name, a, b) => {
  if (name === 'onMemberJoin') void [a.uuid, b.toFixed()];
});

// Promises: asynchronous methods without their callback, results typed.
async function promiseForms(): Promise<void> {
  const auth = promised(kit.getAuthService());
  const nothing: undefined = await auth.login('ann', 'token');
  const loggedIn: boolean = auth.isLoggedIn();
  const joined: IQVRoomContextWrap | undefined = await promised(kit.getRoomService()).joinRoom({ roomUuid: 'r' }, {});
  const url: string = await promised(kit).uploadLog();
  // @ts-expect-error the callback is the promise's
  await auth.login('ann', 'token', () => {});
  try {
    await promised(room).lockRoom();
  } catch (err) {
    if (err instanceof ParloError) void [err.code.toFixed(), err.method.length, err.message];
  }
  void [nothing, loggedIn, joined, url];
}
void promiseForms;

// Events: one emitter per registration, typed by its kind.
async function eventForms(): Promise<void> {
  const events = listen(room, 'room');
  events.on('onMemberNameChanged', (member, name) => void [member, name.length]);
  const [members] = await once(events, 'onMemberJoinRoom');
  void members;
  for await (const [code] of on(listen(kit.getAuthService(), 'auth'), 'onAuthEvent')) void code;
  const stats = listen(room, 'rtcStats');
  stats.on('onNetworkQuality', (quality) => void quality.map((q) => q.userUuid));
  // @ts-expect-error a room takes no auth listener
  listen(room, 'auth');
  // @ts-expect-error the payload of onRoomEnded is a number
  events.on('onRoomEnded', (reason: string) => void reason);
  const closed: boolean = events.close();
  void [closed, stats];
}
void eventForms;
const mapKeys: keyof RoomEvents = 'onAudioHowling';
void mapKeys;
