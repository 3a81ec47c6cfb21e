// MailMan: the post office. Owns the messages posted and not yet delivered; reads nothing.
//
// Post queues a message; Deliver, once at the end of start-up and once per frame (step 5), offers
// every queued message in posting order to every mailbox (Message::Deliver) and leaves the
// messages to the handles that receivers kept. A message posted while a delivery runs waits for
// the next delivery. Shutdown, in the engine's shutdown, destroys undelivered mail unseen.
// Main thread only.
#pragma once

#include <cstddef>
#include <vector>

#include "Messaging/Message.h"
#include "Util/Singleton.h"

namespace Msg {

class MailMan : public Util::Singleton<MailMan> {
 public:
  // Takes the message over; it is delivered at the next Deliver (the one after, when posted from
  // inside a delivery). Null is ignored.
  void Post(Message* message);
  // Delivers the queue. Called from inside a delivery it does nothing: that delivery goes on.
  void Deliver();
  // Destroys every undelivered message without delivering it.
  void Shutdown();

  bool IsDelivering() const { return m_Delivering; }
  // Messages waiting for a delivery.
  size_t Queued() const { return m_Mail.size() + m_LateMail.size(); }

  // True when the queues hold no null and no message twice, late mail exists only during a
  // delivery, and the registry of mailboxes is sound.
  bool Validate() const;

 private:
  friend class Util::Singleton<MailMan>;
  MailMan() : Singleton(true) {}
  ~MailMan() override;

  bool m_Delivering = false;
  std::vector<Message*> m_Mail;      // queued, in posting order
  std::vector<Message*> m_LateMail;  // posted while a delivery was running
};

}  // namespace Msg
