'use strict';
// The message channel service: custom messages and session messages.

const { bare, serviceChain } = require('./common');

module.exports = {
  className: 'IQVMessageChannelServiceWrap',
  make: (ctx) => ctx.kit.getMessageChannelService(),
  links: bare(serviceChain('messageChannelService')),
  methods: [],
};
