// Compiled with tsc --noEmit: whiteboard, message channel and invitations as an app uses them,
// and the simulated SDK playing the other side.
import { IQVParloWrap, IQVRoomContextWrap, SessionMessage, SIPCallInfo } from 'brimo';
import * as sim from 'brimo/sim';

const kit = new IQVParloWrap();
const channel = kit.getMessageChannelService();
const id: number = channel.addMessageChannelListener((...event) => {
  if (event[0] === 'onCustomMessageReceived') void [event[1].commandId.toFixed(), event[1].senderUuid];
  if (event[0] === 'onSessionMessageRecentChanged') void event[1].map((s) => s.unreadCount + (s.sessionType ?? 1));
  if (event[0] === 'onSessionMessageDeleted') void event[1].messageId.length;
});
const sent: boolean = channel.sendCustomMessage('r1', 'bob', 7, '{"hand":"up"}', (code, message) => void [code, message]);
channel.queryUnreadMessageList('bob', 0, (code, message, unread: SessionMessage[]) => void unread.map((m) => m.time));
channel.getSessionMessagesHistory({ sessionId: 'bob', limit: 5 }, (code, message, page) => void page.length);
channel.removeMessageChannelListener(id);
// @ts-expect-error a session type is a number
channel.clearUnreadCount('bob', 'p2p', () => {});
void sent;

function meeting(room: IQVRoomContextWrap): void {
  const wb = room.getWhiteboardController();
  wb.setupWhiteboardCanvas((event, text) => {
    if (event === 'onLogin') wb.auth();
    void text.length;
  });
  wb.login();
  wb.setEnableDraw(true);
  const url: string = wb.getWhiteboardUrl();
  wb.stopMemberWhiteboardShare('bob', (code) => void code);
  const enabled: boolean = room.getAnnotationController().getIsAnnotationEnabled();
  room.getAnnotationController().resetAnnotationCanvas(() => {});
  const sip = room.getSIPController();
  sip.callByNumber('5550100', '+1', 'Dan', (code, message, call: SIPCallInfo) => void call.isRepeatedCall);
  sip.callOutRoomSystem({ deviceAddress: '10.0.0.9' }, (code, message, call) => void call.userUuid);
  sip.callByUserUuids(['dan', 'eve'], () => {});
  room.getAppInviteController().cancelCall('eve', (code) => void code);
  // @ts-expect-error a device's protocol is a number
  sip.callOutRoomSystem({ protocol: 'h323' }, () => {});
  // @ts-expect-error canvas listeners get the event name first
  wb.setupWhiteboardCanvas((text: number) => void text);
  void [url, enabled];
}
void meeting;

const state: 'idle' | 'loggedIn' | 'ready' = sim.whiteboard.get('r1').handshake;
const pushed: boolean = sim.whiteboard.push('r1', 'onToolConfigChanged', '{"pen":"red"}', { delayMs: 5 });
sim.annotation.setEnabled('r1', false);
const sharing: boolean = sim.annotation.get('r1').sharing;
const reached: number = sim.channel.custom({ senderUuid: 'bob', data: 'x', commandId: 1 });
const kept = sim.channel.receive({ sessionId: 'bob', sessionType: 1, data: 'hi', fromNick: 'Bob' });
const unread: number[] = sim.channel.sessions().map((s) => s.unreadCount);
sim.invites.accept('r1', 'dan');
sim.invites.decline('r1', 'eve');
const views: number = sim.listeners('whiteboardView', 'r1') + sim.emit('messageChannel', 'onSessionMessageDeleted', [kept]);
const iface: string | undefined = sim.journal('callByUserUuid')[0]?.interface;
// @ts-expect-error a view event is one of the five
sim.whiteboard.push('r1', 'onDraw', 'x');
void [state, pushed, sharing, reached, unread, views, iface];
