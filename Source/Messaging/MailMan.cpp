#include "Messaging/MailMan.h"

namespace Msg {

void MailMan::Deliver() {}

void MailMan::Shutdown() {}

}  // namespace Msg
