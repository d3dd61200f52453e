// The simulated room service and what other parts of the simulation reach rooms
// by. Rooms are state of the simulation, not of the kit: they live in one
// process-wide registry (room_registry.h), so a kit destroyed and made again finds
// the rooms it joined. Creating stores a room's settings; joining makes the room
// context (sim_room.h) that getRoomContext then finds by UUID; leaving or ending
// removes it. Operations that change a room raise the matching room events on the
// room's listeners, from the SDK thread, after their completion.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sdk/room_service.h"

namespace parlo_sim {

// Other parts of the simulation give every joined room its controllers: one
// factory per controller link ("rtcController", "chatController",
// "waitingRoomChatController", "whiteboardController", "annotationController",
// "liveController", "waitingRoomController", "sipController",
// "appInviteController"), run once when the room is joined. The factory answers
// the controller as a pointer to that link's SDK interface.
using ControllerFactory = std::function<std::shared_ptr<void>(const std::string& room_uuid)>;
bool add_room_controller(const std::string& link, ControllerFactory factory);

// Chat messages arriving in a joined room: kept in its history and raised as
// "onReceiveChatroomMessages". False when no room of that UUID is joined.
bool deliver_chat(const std::string& room_uuid, const parlo::ChatMessageList& messages);

// The page of a chat history that `options` asks for: from startTime on, oldest
// first (order 0) or newest first, at most `limit` (0: all). Null entries stay.
parlo::ChatMessageList history_page(const parlo::ChatMessageList& history, const parlo::ChatroomHistoryOptions& o);

// The account signed in through the auth service, which becomes the local
// member's UUID when joining; empty when nobody is signed in.
std::string signed_in_account();

// The preview room of the process (sim_preview.h), which is not a joined room; null
// when script took the link away ("previewRoomContext").
parlo::IQVPreviewRoomContext* preview_room_context();

class SimRoomService final : public parlo::IQVRoomService {
 public:
  void createRoom(const parlo::CreateRoomParams& params, const parlo::CreateRoomOptions& options,
                  parlo::QVCompletion done) override;
  void fetchRoomTemplate(const std::string& key, parlo::QVResultCompletion<parlo::RoomTemplate> done) override;
  void joinRoom(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
                parlo::QVResultCompletion<parlo::IQVRoomContext*> done) override;
  void joinRoomByInvite(const parlo::JoinRoomParams& params, const parlo::JoinRoomOptions& options,
                        parlo::QVResultCompletion<parlo::IQVRoomContext*> done) override;
  parlo::IQVRoomContext* getRoomContext(const std::string& roomUuid) override;
  parlo::IQVPreviewRoomContext* getPreviewRoomContext() override;
  void getRoomCloudRecordList(const std::string& roomUuid,
                              parlo::QVResultCompletion<std::list<parlo::CloudRecord>> done) override;
  void fetchChatroomHistoryMessages(const std::string& roomUuid, const parlo::ChatroomHistoryOptions& options,
                                    parlo::QVResultCompletion<parlo::ChatMessageList> done) override;
  void exportChatroomHistoryMessages(const std::string& roomUuid,
                                     parlo::QVResultCompletion<std::string> done) override;
  void rejectInvite(const std::string& roomUuid, parlo::QVResultCompletion<std::string> done) override;
};

}  // namespace parlo_sim
