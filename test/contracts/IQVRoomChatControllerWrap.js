'use strict';
// A joined room's chat (the waiting room's chat is a second instance of the class).

const { controllerOf, bare, roomChain } = require('./common');

module.exports = {
  className: 'IQVRoomChatControllerWrap',
  make: controllerOf('getChatController'),
  links: bare(roomChain('chatController')),
  methods: [],
};
