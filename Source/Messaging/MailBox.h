// MailBox: a receiver of messages. Every mailbox is registered while it lives; a delivery offers
// each message to every mailbox, in the order the mailboxes were created.
//
// There is one Receive handler per message class, in catalogue slot order, each taking the
// delivery's handle to its message. The default does nothing. A system overrides the handlers of
// the messages it cares about; to keep the message after the handler returns it keeps a copy of
// the handle (the message lives while any copy does). A handler that keeps nothing costs no count
// traffic: the handle is lent, not copied.
//
// A mailbox created while a message is being broadcast does not see that message; one destroyed
// by a handler sees nothing more, and the broadcast goes on with the mailboxes after it.
#pragma once

#include "Messaging/Message.h"
#include "Messaging/MessageCatalogue.h"
#include "Util/AutoList.h"
#include "Util/Handle.h"

namespace Msg {

#define HM_MSG_DECLARE(slot, cls, ...) class cls;
HM_MESSAGE_CATALOGUE(HM_MSG_DECLARE)
#undef HM_MSG_DECLARE

class MailBox : public Util::AutoList<MailBox> {
 public:
  MailBox() = default;
  ~MailBox() override = default;

#define HM_MSG_RECEIVE(slot, cls, ...) virtual void Receive(const Util::Handle<cls>& message);
  HM_MESSAGE_CATALOGUE(HM_MSG_RECEIVE)
#undef HM_MSG_RECEIVE

  // Offers the message to every live mailbox, in creation order.
  template <class M>
  static void Broadcast(const Util::Handle<M>& message) {
    ForEachLive([&message](MailBox& box) { box.Receive(message); });
  }

  // True when the registry of mailboxes is sound.
  static bool Validate() { return AutoList<MailBox>::Validate(); }
};

}  // namespace Msg
