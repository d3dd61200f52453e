// Compiled with tsc --noEmit: the declarations describe what script really uses.
import { IQVParloWrap, SdkVersions, ParloOptions, VideoFrameRequest } from 'brimo';

const kit = new IQVParloWrap();
const options: ParloOptions = {
  appKey: 'key',
  logLevel: 3,
  serverConfig: { imServerConfig: { lbsBackupAddress: ['a'] }, rtcServerConfig: { useIPv6: true } },
  extras: { region: 'eu', retries: 3 },
  whiteboardAppConfig: { vornAntiLeechExpire: 60 },
};
const one: 1 = kit.initialize(options, (code: number, message: string) => void [code, message]);
const versions: SdkVersions = kit.getSdkVersions();
const logged: boolean = kit.getAuthService().isLoggedIn();
kit.getAuthService().login('ann', 'token', (code) => void code);
kit.uploadLog((code, message, url: string) => void [code, message, url]);
kit.getVornService().uploadResource('/tmp/a', (code, message, text) => void text.length);
void [one, versions, logged];

const authId: number = kit.getAuthService().addAuthListener((name, code) => {
  const n: 'onAuthEvent' = name;
  void [n, code.toFixed()];
});
kit.getAuthService().removeAuthListener(authId);
kit.addGlobalEventListener((name, text: string) => void [name, text.length]);

// @ts-expect-error initialize needs a callback
kit.initialize({});
// @ts-expect-error logLevel is a number
kit.initialize({ logLevel: 'high' }, () => {});

const frameRequest: VideoFrameRequest = { frame: { userUuid: 'u1', bSubVideo: false, buffer: { bytes: new Uint8Array(0) } } };
kit.startListenVideoFrame();
kit.getVideoFrame([frameRequest]);
if (frameRequest.code === 1) frameRequest.frame.buffer.bytes = new Uint8Array(frameRequest.frame.buffer.vOffset ?? 0);
kit.stopListenVideoFrame();
// @ts-expect-error BigInt64Array holds no pixels
kit.getVideoFrame([{ frame: { userUuid: 'u1', bSubVideo: false, buffer: { bytes: new BigInt64Array(1) } } }]);
