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
  m_CurrentPick = 0;
  for (const Game::Entity* entity : Util::AutoList<Game::Entity>::All())
    if (entity == message->m_Picked) m_CurrentPick = entity->GetID();
}

}  // namespace Util
