'use strict';
// A joined room's SIP calls: by number, by user and to room systems. Every method
// reads its arguments before it finds the controller.

const { controllerOf, bare, roomChain } = require('./common');
const { danCalled, call, calls } = require('./invitations');

const [byUsers, byUser, remove, cancel] = calls;

module.exports = {
  className: 'IQVRoomSIPControllerWrap',
  make: controllerOf('getSIPController'),
  links: bare(roomChain('sipController')),
  methods: [
    call('callByNumber', ['5550100', '+1', 'Hal'], {
      result: { userUuid: 'sip-+15550100', name: 'Hal', isRepeatedCall: false },
    }),
    byUsers,
    byUser,
    remove,
    cancel,
    call('hangUpCall', ['dan'], { prepare: danCalled }),
    // An absent key keeps the SDK's default.
    call('callOutRoomSystem', [{ deviceAddress: '10.1.1.9', name: 'Hall B' }], {
      sent: [{ protocol: 1, deviceAddress: '10.1.1.9', name: 'Hall B' }],
      result: { userUuid: 'sip-room-10.1.1.9', name: 'Hall B', isRepeatedCall: false },
      objectArgs: [0],
    }),
  ],
};
