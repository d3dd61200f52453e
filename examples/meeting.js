'use strict';
// A whole meeting against the simulated parlo SDK: what an app does, step by step,
// with what it sees printed as it happens. Run with `npm start`.

const brimo = require('..');
const sim = require('../sim');

const say = (...args) => console.log('[meeting]', ...args);
const call = (fn) => new Promise((resolve) => fn((...result) => resolve(result)));

async function main() {
  const kit = new brimo.IQVParloWrap();

  kit.initialize(
    {
      appKey: 'demo-app-key',
      logPath: '/tmp/brimo-demo/logs',
      logLevel: 3,
      reuseIM: false,
      serverConfig: {
        parloServerConfig: { roomServer: 'https://room.parlo.example' },
        imServerConfig: { lbs: 'https://lbs.parlo.example', lbsBackupAddress: ['https://lbs2.parlo.example'] },
        rtcServerConfig: { lbsServer: 'https://rtc-lbs.parlo.example', useIPv6: false },
        whiteboardServerConfig: { webServer: 'https://wb.parlo.example' },
      },
      serverUrl: 'https://parlo.example',
      extras: { region: 'eu-west', retries: 3 },
      whiteboardAppConfig: { vornAntiLeech: true, canvasBgColor: 'rgba(250, 250, 250, 255)' },
    },
    (code, message) => say('initialized:', code, message || '(ok)'),
  );
  say('initialized?', kit.isInitialized());
  say('versions', kit.getSdkVersions());
  say('device id', kit.getDeviceId());
  say('log path', kit.getCurrentLogPath());
  say('network type', kit.getNetworkType());

  const [code, message, url] = await call((cb) => kit.uploadLog(cb));
  say('log uploaded:', code, message || '(ok)', url);

  kit.release();
  say('released; initialized?', kit.isInitialized());
  say('the SDK received', sim.journal().length, 'calls:', sim.journal().map((e) => e.op).join(', '));
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
