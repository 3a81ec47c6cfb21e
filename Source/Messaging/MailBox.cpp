#include "Messaging/MailBox.h"

#include "Messaging/Messages.h"

namespace Msg {

// The defaults: the handle goes out of scope, and with the last handle the message.
#define HM_MSG_RECEIVE(slot, cls, ...) \
  void MailBox::Receive(const Util::Handle<cls>&) {}
HM_MESSAGE_CATALOGUE(HM_MSG_RECEIVE)
#undef HM_MSG_RECEIVE

}  // namespace Msg
