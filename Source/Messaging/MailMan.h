// MailMan: the post office. Queues posted messages and delivers them to every mailbox once per frame.
// Not built yet beyond its entry points, so that the engine's order is already fixed.
#pragma once

#include "Util/Singleton.h"

namespace Msg {

class MailMan : public Util::Singleton<MailMan> {
 public:
  void Deliver();
  void Shutdown();

 private:
  friend class Util::Singleton<MailMan>;
  MailMan() : Singleton(true) {}
};

}  // namespace Msg
