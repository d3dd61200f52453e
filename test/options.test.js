'use strict';
// The initialize options object as the SDK receives it.

const test = require('node:test');
const assert = require('node:assert/strict');
const { brimo, sim } = require('./helpers');

const DEFAULTS = {
  appKey: '',
  logPath: '',
  logLevel: 2,
  reuseIM: false,
  useAssetServerConfig: false,
  useInternalVideoRender: false,
  serverConfig: {
    parloServerConfig: { roomServer: '' },
    imServerConfig: {
      handShakeType: 0, negoKeyTarn: 1, commTarn: 1, lbs: '', lbsBackupAddress: [], vornLbs: '', link: '',
      linkIpv6: '', vornUploader: '', vornUploaderHost: '', negoKeyTarnKeyParta: '', negoKeyTarnKeyPartb: '10001',
      negoKeyTarnKeyVersion: 0, vornDownloader: '', vornAccelerateHostList: [], vornAccelerate: '',
      probeIpv4Url: '', probeIpv6Url: '', httpDnsServerInterface: [],
    },
    rtcServerConfig: {
      lbsServer: '', channelServer: '', statisticsServer: '', roomServer: '', compatServer: '', vornLbsServer: '',
      vornUploadSever: '', vornTokenServer: '', cloudProxyServer: '', websocketProxyServer: '', quicProxyServer: '',
      mediaProxyServer: '', reservedServer1: '', reservedServer2: '', useIPv6: false,
    },
    whiteboardServerConfig: {
      webServer: '', roomServer: '', sdkLogVornServer: '', dataReportServer: '', directVornServer: '',
      mediaUploadServer: '', docTransServer: '', fontDownloadServer: '',
    },
  },
  serverUrl: '',
  extras: {},
  whiteboardAppConfig: { vornAntiLeech: false, vornAntiLeechExpire: 7200, canvasBgColor: 'rgba(255, 255, 255, 255)' },
};

const clone = (o) => JSON.parse(JSON.stringify(o));

// Initialises with `options` and returns [record the SDK received (or null), error thrown (or null)].
function received(options) {
  const s = sim();
  s.reset();
  const kit = new (brimo().IQVParloWrap)();
  let error = null;
  try {
    kit.initialize(options, () => {});
  } catch (e) {
    error = e;
  }
  const calls = s.journal('initialize');
  return [calls.length ? calls[0].args[0] : null, error];
}

test('an empty options object gives exactly the defaults', () => {
  const [record, error] = received({});
  assert.equal(error, null);
  assert.deepEqual(record, DEFAULTS);
});

test('every key of every group reaches its field', () => {
  const options = {
    appKey: 'key-1', logPath: '/var/log/parlo', logLevel: 5, reuseIM: true, useAssetServerConfig: true,
    useInternalVideoRender: true,
    serverConfig: {
      parloServerConfig: { roomServer: 'parlo-room' },
      imServerConfig: {
        handShakeType: 3, negoKeyTarn: 4, commTarn: 5, lbs: 'lbs', lbsBackupAddress: ['b1', 'b2'], vornLbs: 'vl',
        link: 'ln', linkIpv6: 'l6', vornUploader: 'vu', vornUploaderHost: 'vuh', negoKeyTarnKeyParta: 'pa',
        negoKeyTarnKeyPartb: 'pb', negoKeyTarnKeyVersion: 9, vornDownloader: 'vd', vornAccelerateHostList: ['h1'],
        vornAccelerate: 'va', probeIpv4Url: 'p4', probeIpv6Url: 'p6', httpDnsServerInterface: ['d1', 'd2', 'd3'],
      },
      rtcServerConfig: {
        lbsServer: 'r1', channelServer: 'r2', statisticsServer: 'r3', roomServer: 'r4', compatServer: 'r5',
        vornLbsServer: 'r6', vornUploadSever: 'r7', vornTokenServer: 'r8', cloudProxyServer: 'r9',
        websocketProxyServer: 'r10', quicProxyServer: 'r11', mediaProxyServer: 'r12', useIPv6: true,
        reservedServer1: 'not settable',
      },
      whiteboardServerConfig: {
        webServer: 'w1', roomServer: 'w2', sdkLogVornServer: 'w3', dataReportServer: 'w4', directVornServer: 'w5',
        mediaUploadServer: 'w6', docTransServer: 'w7', fontDownloadServer: 'w8',
      },
    },
    serverUrl: 'https://parlo.example',
    extras: { region: 'eu' },
    whiteboardAppConfig: { vornAntiLeech: true, vornAntiLeechExpire: 60, canvasBgColor: '#000' },
  };
  const expected = clone(options);
  expected.serverConfig.rtcServerConfig.reservedServer1 = '';
  expected.serverConfig.rtcServerConfig.reservedServer2 = '';
  const [record, error] = received(options);
  assert.equal(error, null);
  assert.deepEqual(record, expected);
});

test('numbers are read as unsigned 32-bit: -1 becomes 4294967295', () => {
  const [record] = received({ logLevel: -1, whiteboardAppConfig: { vornAntiLeechExpire: 2 ** 32 + 5 } });
  assert.equal(record.logLevel, 4294967295);
  assert.equal(record.whiteboardAppConfig.vornAntiLeechExpire, 5);
});

test('server groups: a non-object serverConfig or group is skipped without error, the others are read', () => {
  let [record, error] = received({ serverConfig: 'lbs.example' });
  assert.equal(error, null);
  assert.deepEqual(record.serverConfig, DEFAULTS.serverConfig);

  [record, error] = received({ serverConfig: { imServerConfig: 7, rtcServerConfig: { lbsServer: 'rtc-lbs' } } });
  assert.equal(error, null);
  assert.deepEqual(record.serverConfig.imServerConfig, DEFAULTS.serverConfig.imServerConfig);
  assert.equal(record.serverConfig.rtcServerConfig.lbsServer, 'rtc-lbs');
});

test('extras: every enumerable property is coerced to text, inherited ones too', () => {
  const proto = { inherited: 'yes' };
  const extras = Object.create(proto);
  Object.assign(extras, { a: 1, b: true, c: null, 7: 'seven' });
  const [record, error] = received({ extras });
  assert.equal(error, null);
  assert.deepEqual(record.extras, { 7: 'seven', a: '1', b: 'true', c: 'null', inherited: 'yes' });
  assert.deepEqual(received({ extras: 'x=1' })[0].extras, {}, 'a non-object extras is ignored');
});

test('presence is the in test: inherited keys count, and so does an undefined value (which then throws)', () => {
  const [inherited] = received(Object.create({ appKey: 'from-proto' }));
  assert.equal(inherited.appKey, 'from-proto');

  const [record, error] = received({ appKey: undefined });
  assert.ok(error instanceof Error);
  assert.match(error.message, /string/i);
  assert.equal(record, null, 'half-read options never start the SDK');
});

test('a wrong type raises the runtime error and the keys after it are not read', () => {
  // Read with the conversion directly observable: a wrong type on the last key.
  let [record, error] = received({ appKey: 'k', logLevel: 'high' });
  assert.match(error.message, /number/i);
  assert.equal(record, null);

  // The keys after the failing one keep their defaults: observed through a getter
  // that counts which keys were read.
  const read = [];
  const options = {};
  for (const key of ['appKey', 'logPath', 'logLevel', 'reuseIM', 'serverUrl']) {
    Object.defineProperty(options, key, { enumerable: true, get: () => { read.push(key); return key === 'logPath' ? 5 : 'x'; } });
  }
  [record, error] = received(options);
  assert.ok(error);
  assert.deepEqual(read, ['appKey', 'logPath']);
});

test('array keys are read element by element and must be arrays', () => {
  let [record, error] = received({ serverConfig: { imServerConfig: { lbsBackupAddress: ['x', 'y'], vornAccelerateHostList: [] } } });
  assert.equal(error, null);
  assert.deepEqual(record.serverConfig.imServerConfig.lbsBackupAddress, ['x', 'y']);
  [record, error] = received({ serverConfig: { imServerConfig: { lbsBackupAddress: 'x' } } });
  assert.ok(error, 'a string is not an array of strings');
  [record, error] = received({ serverConfig: { imServerConfig: { lbsBackupAddress: ['x', 3] } } });
  assert.ok(error, 'every element must be a string');
});

test('the initialize line carries the app key, empty when absent', () => {
  const { runChild } = require('./helpers');
  const { lines } = runChild(`
    const kit = new brimo.IQVParloWrap();
    kit.initialize({}, () => {});
    kit.initialize({ appKey: 'ab c' }, () => {});
  `);
  assert.deepEqual(lines.filter((l) => l.startsWith('initialize')), ['initialize options:appKey:', 'initialize options:appKey:ab c']);
});

test('getters that throw anywhere in the options raise their error and never abort the process', () => {
  const { runChild } = require('./helpers');
  const { lines, status, stderr } = runChild(`
    const boom = (where) => ({ get() { throw new Error('getter ' + where); }, enumerable: true });
    const kit = new brimo.IQVParloWrap();
    const cases = [
      Object.defineProperty({}, 'appKey', boom('appKey')),
      { serverConfig: Object.defineProperty({}, 'imServerConfig', boom('group')) },
      { serverConfig: { imServerConfig: Object.defineProperty({}, 'lbsBackupAddress', boom('array')) } },
      { serverConfig: { imServerConfig: { lbsBackupAddress: Object.defineProperty(['a', 'b'], 1, boom('element')) } } },
      { extras: Object.defineProperty({ first: 1 }, 'second', boom('extra')), whiteboardAppConfig: { canvasBgColor: '#fff' } },
      { extras: { toString: 5, [Symbol.toPrimitive]: 1, x: { toString() { throw new Error('getter coercion'); } } } },
    ];
    for (const options of cases) {
      try { kit.initialize(options, () => console.log('initialized anyway')); console.log('no error'); }
      catch (e) { console.log('threw', e.message); }
    }
    console.log('alive', sim.journal('initialize').length);
  `);
  assert.equal(status, 0, stderr);
  assert.deepEqual(lines.filter((l) => /^(threw|no error|alive|initialized)/.test(l)), [
    'threw getter appKey', 'threw getter group', 'threw getter array', 'threw getter element', 'threw getter extra',
    'threw getter coercion', 'alive 0',
  ]);
});
