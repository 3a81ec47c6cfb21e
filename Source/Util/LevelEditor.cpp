#include "Util/LevelEditor.h"

#include "Game/Entity.h"
#include "Messaging/Messages.h"

namespace Util {

void LevelEditor::Init() {
  m_CurrentPick = 0;
  Msg::MailMan::Instance().Post(new Msg::eManAddMsg("../../Assets/Xml/entities/editor_Levels.xml"));
  Msg::MailMan::Instance().Post(new Msg::eManAddMsg("../../Assets/Xml/entities/editor_Islands.xml"));
}

void LevelEditor::Receive(const Util::Handle<Msg::graphicsPickedMsg>& message) {
  // The entity may have been removed since the pick was posted: only a live one is read.
  const Game::Entity* picked = message->m_Picked.Get();
  m_CurrentPick = picked ? picked->GetID() : 0;
}

}  // namespace Util
