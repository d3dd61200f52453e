'use strict';
// The viewer's meeting against the simulated parlo SDK: Ann signs in and joins a room
// where others are already in; every member whose camera is on sends frames of its
// own test pattern. The member list follows the room's events.

const brimo = require('../..');
const sim = require('../../sim');

const NAMES = ['Ann', 'Bob', 'Cy', 'Dee', 'Eve', 'Fay', 'Gus', 'Hal', 'Ivy', 'Jo', 'Kim', 'Lou', 'Max', 'Ned', 'Oli', 'Pam'];
const ROOM = 'viewer-standup';
const ME = 'ann@example.com';

const call = (fn) => new Promise((resolve) => fn((...result) => resolve(result)));

class Meeting {
  /**
   * Joins the room with `users` members in all (Ann and users - 1 others), cameras
   * of width x height at fps. `onMembers(members)` hears the member list whenever
   * the room's events change it.
   */
  static async open({ users = 4, width = 640, height = 360, fps = 30, onMembers = () => {} } = {}) {
    const meeting = new Meeting({ width, height, fps, onMembers });
    await meeting.join(users);
    return meeting;
  }

  constructor({ width, height, fps, onMembers }) {
    this.kit = new brimo.IQVParloWrap();
    this.roomUuid = ROOM;
    this.camera = { width, height, fps };
    this.onMembers = onMembers;
    this.list = [];
    this.patterns = new Map();   // uuid -> the user number its camera's pattern carries
    this.cameras = new Map();    // uuid -> generator id
    this.joined = 0;
    this.waiting = [];           // [predicate, resolve] of whenMembers
  }

  async join(users) {
    const { kit } = this;
    kit.initialize({ appKey: 'viewer-demo', logLevel: 3 }, () => {});
    const [loginCode] = await call((cb) => kit.getAuthService().login(ME, 'demo-token', cb));
    if (loginCode !== 0) throw new Error(`login failed: ${loginCode}`);
    const rooms = kit.getRoomService();
    await call((cb) => rooms.createRoom({ roomUuid: ROOM, roomName: 'Daily stand-up' }, { enableChatroom: true }, cb));
    const [code, message, room] = await call((cb) => rooms.joinRoom({ roomUuid: ROOM, userName: NAMES[0], role: 'host' }, {}, cb));
    if (code !== 0 || !room) throw new Error(`joining the room failed: ${code} ${message}`);
    this.room = room;
    // Frames reach the room only while it has a listener; every member event redraws the list.
    this.listener = room.addRoomListener((event) => {
      if (event.startsWith('onMember')) this.refresh();
    });
    this.joined = 1;
    this.refresh();
    const others = [];
    for (let i = 1; i < users; i++) others.push(this.newcomer());
    kit.startListenVideoFrame();
    if (others.length > 0) sim.rooms.addMember(ROOM, others);
    await this.whenMembers((list) => list.length >= users);
  }

  /** Resolves once the member list, as the room's events leave it, satisfies `predicate`. */
  whenMembers(predicate) {
    if (predicate(this.list)) return Promise.resolve(this.list);
    return new Promise((resolve) => this.waiting.push([predicate, resolve]));
  }

  /** A member record for the simulated SDK: the next name, camera on, microphone on for some. */
  newcomer() {
    const n = this.joined++;
    const name = NAMES[n] ?? `Guest ${n + 1}`;
    return { uuid: name.toLowerCase().replace(/\s+/g, '-'), name, role: 'member', isVideoOn: true, isAudioOn: n % 3 !== 1 };
  }

  /** [{ uuid, name, isAudioOn, isVideoOn, pattern, local }] in the room's order, Ann first. */
  members() {
    return this.list;
  }

  // Reads the members afresh, starts the cameras of new ones (and of those whose video
  // came on) and stops those of members gone or whose video went off.
  refresh() {
    if (!this.room) return;
    const local = this.room.getLocalMember();
    const records = [local, ...(this.room.getRemoteMembers() ?? [])].filter((m) => m && m.uuid);
    this.list = records.map((m) => {
      if (!this.patterns.has(m.uuid)) this.patterns.set(m.uuid, this.patterns.size + 1);
      const isLocal = m.uuid === local?.uuid;
      // Our own camera runs in the room whatever the record says; the others' as theirs say.
      return { uuid: m.uuid, name: m.name, isAudioOn: Boolean(m.isAudioOn), isVideoOn: isLocal || Boolean(m.isVideoOn), pattern: this.patterns.get(m.uuid), local: isLocal };
    });
    const sending = new Set(this.list.filter((m) => m.isVideoOn).map((m) => m.uuid));
    for (const [uuid, id] of this.cameras) {
      if (!sending.has(uuid)) {
        sim.frames.stop(id);
        this.cameras.delete(uuid);
      }
    }
    for (const uuid of sending) {
      if (this.cameras.has(uuid)) continue;
      this.cameras.set(uuid, sim.frames.start({ room: ROOM, userUuids: [uuid], firstUser: this.patterns.get(uuid), ...this.camera }));
    }
    this.onMembers(this.list);
    const waiting = this.waiting;
    this.waiting = [];
    for (const [predicate, resolve] of waiting) {
      if (predicate(this.list)) resolve(this.list);
      else this.waiting.push([predicate, resolve]);
    }
  }

  /** Someone new joins with the camera on; answers their uuid. */
  addGuest() {
    const guest = this.newcomer();
    sim.rooms.addMember(ROOM, guest);
    return guest.uuid;
  }

  removeMember(uuid) {
    sim.rooms.removeMember(ROOM, uuid);
  }

  updateMember(uuid, changes) {
    sim.rooms.updateMember(ROOM, uuid, changes);
  }

  /** Stops the cameras, leaves the room, signs out and releases the SDK. */
  async close() {
    if (!this.room) return;
    const { kit, room } = this;
    this.room = null;
    for (const id of this.cameras.values()) sim.frames.stop(id);
    this.cameras.clear();
    kit.stopListenVideoFrame();
    room.removeRoomListener(this.listener);
    await call((cb) => room.leaveRoom(cb));
    await call((cb) => kit.getAuthService().logout(cb));
    kit.release();
  }
}

/**
 * What keeps the demo alive: every `everyMs` one step of a round of microphones going
 * on and off, a guest joining, the camera of someone going off and on again, and the
 * guest leaving. Answers a function that stops it.
 */
function liven(meeting, { everyMs = 2000 } = {}) {
  let step = 0;
  let guest = null;
  const timer = setInterval(() => {
    const others = meeting.members().filter((m) => !m.local);
    const someone = others[step % Math.max(1, others.length)];
    switch (step++ % 6) {
      case 0:
      case 3:
        if (someone) meeting.updateMember(someone.uuid, { isAudioOn: !someone.isAudioOn });
        break;
      case 1:
        if (!guest) guest = meeting.addGuest();
        break;
      case 2:
        if (someone) meeting.updateMember(someone.uuid, { isVideoOn: false });
        break;
      case 4:
        for (const m of others) if (!m.isVideoOn) meeting.updateMember(m.uuid, { isVideoOn: true });
        break;
      default:
        if (guest) meeting.removeMember(guest);
        guest = null;
    }
  }, everyMs);
  return () => clearInterval(timer);
}

module.exports = { Meeting, liven };
