// PreviewRoomListenerAdapter: the preview room listener the module registers for
// addPreviewRoomListener. Its operations are the ones it shares with the room
// listener: frames to the frame hub, every other event to the script listener as
// (eventName, payload...), queued without blocking.
#pragma once

#include "core/bind.h"
#include "room/media_events_adapter.h"
#include "sdk/preview_room_context.h"

namespace brimo {

class PreviewRoomListenerAdapter final : public MediaEventsAdapter<parlo::IQVPreviewRoomListener> {
 public:
  using MediaEventsAdapter::MediaEventsAdapter;
};

using PreviewRoomListeners =
    ListenerKind<PreviewRoomListenerAdapter, &parlo::IQVPreviewRoomContext::addPreviewRoomListener,
                 &parlo::IQVPreviewRoomContext::removePreviewRoomListener, &ListenerRegistry::preview_room>;

}  // namespace brimo
