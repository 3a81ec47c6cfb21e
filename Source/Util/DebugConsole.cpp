#include "Util/DebugConsole.h"

#include "Messaging/Messages.h"

namespace Util {

void DebugConsole::Init() {
  Msg::MailMan::Instance().Post(new Msg::eManAddMsg("../../Assets/Xml/entities/editor_DebugConsole.xml"));
  Msg::MailMan::Instance().Post(new Msg::eManAddMsg("../../Assets/Xml/entities/editor_DebugFPS.xml"));
}

}  // namespace Util
