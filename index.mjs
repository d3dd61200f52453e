// brimo for ES modules: the same sixteen classes as require('brimo'), by name or as
// the default export.
import { createRequire } from 'node:module';

const brimo = createRequire(import.meta.url)('./index.js');

export default brimo;
export const {
  IQVParloWrap,
  IQVAuthServiceWrap,
  IQVRoomServiceWrap,
  IQVRoomRtcControllerWrap,
  IQVRoomLiveControllerWrap,
  IQVWaitingRoomControllerWrap,
  IQVRoomSIPControllerWrap,
  IQVRoomAppInviteControllerWrap,
  IQVRoomWhiteboardControllerWrap,
  IQVRoomAnnotationControllerWrap,
  IQVRoomContextWrap,
  IQVPreviewRoomContextWrap,
  IQVPreviewRoomRtcController,
  IQVVornServiceWrap,
  IQVMessageChannelServiceWrap,
  IQVRoomChatControllerWrap,
} = brimo;
