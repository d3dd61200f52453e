'use strict';
// The message channel service: custom messages and session messages.
// Its methods come with later work; its resolution chain is already the kit's.

const { bare, serviceChain } = require('./common');

module.exports = {
  className: 'IQVMessageChannelServiceWrap',
  make: (ctx) => ctx.kit.getMessageChannelService(),
  links: bare(serviceChain('messageChannelService')),
  methods: [],
};
