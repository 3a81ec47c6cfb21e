#include "Messaging/MailMan.h"

#include <unordered_set>

#include "Messaging/MailBox.h"

namespace Msg {
namespace {
constexpr const char* kAssertFile = "..\\..\\Source\\Messaging\\messaging_mailman";
}

MailMan::~MailMan() {
  // Mail left over is destroyed rather than leaked once the omission has been reported.
  if (!UTIL_ASSERT(m_Mail.size() == 0, "Tingle (aka Mailman) destructor is called without being shutdown.")) Shutdown();
}

void MailMan::Post(Message* message) {
  if (!message) return;
  (m_Delivering ? m_LateMail : m_Mail).push_back(message);
}

void MailMan::Deliver() {
  if (m_Delivering) return;
  m_Delivering = true;
  // Nothing joins m_Mail while this runs: posts go to m_LateMail.
  for (Message* message : m_Mail) message->Deliver(this);
  m_Mail.clear();
  m_Delivering = false;
  m_Mail.swap(m_LateMail);
}

void MailMan::Shutdown() {
  // During a delivery the queued messages already belong to the delivery; only late mail is left.
  std::vector<Message*>& undelivered = m_Delivering ? m_LateMail : m_Mail;
  std::vector<Message*> doomed;
  doomed.swap(undelivered);
  for (Message* message : doomed) delete message;
}

bool MailMan::Validate() const {
  if (!m_Delivering && !m_LateMail.empty()) return false;
  std::unordered_set<const Message*> seen;
  for (const std::vector<Message*>* queue : {&m_Mail, &m_LateMail})
    for (const Message* message : *queue)
      if (!message || !seen.insert(message).second) return false;
  return MailBox::Validate();
}

void Send(Message* message) {
  if (message) message->Deliver(MailMan::Exists() ? &MailMan::Instance() : nullptr);
}

}  // namespace Msg
