// LevelEditor: the engine side of the in-game editor. Init, during start-up, asks the entity
// manager by message for the editor's two entities (levels and islands, whose behaviour is in
// script); they appear at the first delivery and belong to the manager from then on.
//
// A mailbox: graphicsPickedMsg, from the graphics system after a pick, sets the current pick to
// the picked entity's ID (0 when nothing was hit). The editor scripts read and reset it; reset
// means nothing is picked (kNothingPicked). Main thread only.
#pragma once

#include <cstdint>

#include "Messaging/MailBox.h"
#include "Util/Singleton.h"

namespace Util {

class LevelEditor : public Util::Singleton<LevelEditor>, public Msg::MailBox {
 public:
  static constexpr int32_t kNothingPicked = 2147483647;

  void Init();

  int32_t GetCurrentPick() const { return m_CurrentPick; }
  void ResetCurrentPick() { m_CurrentPick = kNothingPicked; }

  void Receive(const Util::Handle<Msg::graphicsPickedMsg>& message) override;

 private:
  friend class Util::Singleton<LevelEditor>;
  LevelEditor() : Singleton(true) {}

  int32_t m_CurrentPick = 0;
};

}  // namespace Util
