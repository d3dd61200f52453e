'use strict';
// A whole meeting against the simulated parlo SDK: what an app does, step by step,
// with what it sees printed as it happens. Run with `npm start`.

const brimo = require('..');
const sim = require('../sim');

const say = (...args) => console.log('[meeting]', ...args);
const call = (fn) => new Promise((resolve) => fn((...result) => resolve(result)));
// Lets events already raised by the SDK reach their listeners.
const nextTick = () => new Promise((resolve) => setTimeout(resolve, 20));

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

  // Account: listen to auth events, log in, upload a file, log out.
  const auth = kit.getAuthService();
  const authListener = auth.addAuthListener((event, code) => say('auth event', event, code));
  const globalListener = kit.addGlobalEventListener((event, text) => say('global event', event, text));
  sim.emit('global', 'onRtcEngineEvent', ['rtc engine ready']);
  const [loginCode, loginMessage] = await call((cb) => auth.login('ann@example.com', 'demo-token', cb));
  say('logged in:', loginCode, loginMessage || '(ok)', 'isLoggedIn', auth.isLoggedIn());
  sim.emit('auth', 'onAuthEvent', [1]);
  await nextTick();

  const vorn = kit.getVornService();
  vorn.setVornDownloadFilePath('/tmp/brimo-demo/downloads');
  const [upCode, , objectUrl] = await call((cb) => vorn.uploadResource('/tmp/brimo-demo/agenda.pdf', cb));
  say('uploaded agenda:', upCode, objectUrl);

  // ROOMS

  const [outCode] = await call((cb) => auth.logout(cb));
  say('logged out:', outCode, 'isLoggedIn', auth.isLoggedIn());
  auth.removeAuthListener(authListener);
  kit.removeGlobalEventListener(globalListener);

  kit.release();
  say('released; initialized?', kit.isInitialized());
  say('the SDK received', sim.journal().length, 'calls:', sim.journal().map((e) => e.op).join(', '));
}

main().catch((e) => {
  console.error(e);
  process.exitCode = 1;
});
