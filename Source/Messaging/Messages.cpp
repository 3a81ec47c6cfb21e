#include "Messaging/Messages.h"

#include <cstring>

namespace Msg {

Text::Text(const char* source) : m_Chars(nullptr) {
  if (!source) return;
  const size_t length = std::strlen(source);
  m_Chars = new char[length + 1];
  std::memcpy(m_Chars, source, length + 1);
}

Text::~Text() { delete[] m_Chars; }

// The broadcast of each class: wrapped in a handle, offered to every mailbox's handler for this
// class, then released with the wrapper unless a receiver kept a copy.
#define HM_MSG_DELIVER(slot, cls, ...) \
  void cls::Deliver(MailMan*) { MailBox::Broadcast(Util::Handle<cls>(this)); }
HM_MESSAGE_CATALOGUE(HM_MSG_DELIVER)
#undef HM_MSG_DELIVER

}  // namespace Msg
