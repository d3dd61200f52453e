'use strict';
// The account service: login, logout, and auth event listeners.

const { CB, LISTENER, ID, ADAPTER, isId, serviceChain } = require('./common');

// Each missing link is also written out before it is raised ("parlo is  null" has no line end).
const [kit, auth] = serviceChain('authService');

module.exports = {
  className: 'IQVAuthServiceWrap',
  make: (ctx) => ctx.kit.getAuthService(),
  links: [
    { link: kit.link, remove: kit.remove, message: 'parlo Null pointer exception', trace: ['parlo is  null'] },
    { link: auth.link, remove: auth.remove, message: 'authService Null pointer exception', trace: ['authService is null '] },
  ],
  methods: [
    { name: 'addAuthListener', args: [LISTENER], listener: 'add', kind: 'auth',
      sdk: { op: 'addAuthListener', args: [ADAPTER] }, returns: isId, fail: -1 },
    { name: 'isLoggedIn', args: [], sdk: { op: 'isLoggedIn', args: [] }, answer: { ret: true }, returns: true, fail: false },
    { name: 'login', args: ['acc-1', 'tok-2', CB], async: true, result: false,
      sdk: { op: 'login', args: ['acc-1', 'tok-2'] }, returns: true, fail: false },
    { name: 'loginByDynamicToken', args: ['acc-3', 'tok-4', 'sso', CB], async: true, result: false,
      sdk: { op: 'loginByDynamicToken', args: ['acc-3', 'tok-4', 'sso'] }, returns: true, fail: false,
      trace: ['loginByDynamicToken start authType: sso ', 'loginByDynamicToken end authType: sso '] },
    { name: 'logout', args: [CB], async: true, result: false, sdk: { op: 'logout', args: [] }, returns: true, fail: false },
    { name: 'removeAuthListener', args: [ID], listener: 'remove', kind: 'auth',
      sdk: { op: 'removeAuthListener', args: [ADAPTER] }, returns: true, fail: false },
  ],
};
