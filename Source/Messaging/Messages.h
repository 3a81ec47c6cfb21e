// Messages: the one header a sender or a receiver includes. The 81 message classes of the
// catalogue (MessageCatalogue.h), the mailbox and the post office.
//
// Each class holds its fields as members m_<Name> in catalogue order, takes them in that order in
// its constructor (text fields as C strings, copied), comes from the pool of its own size and
// delivers itself to its own receive handler of every mailbox:
//
//   Msg::MailMan::Instance().Post(new Msg::gameAreaMsg(2));         // delivered next frame
//   Msg::Send(new Msg::cameraSetUpVecMsg(Msg::Vec3{0, 1, 0}));       // delivered now
#pragma once

#include "Messaging/MailBox.h"
#include "Messaging/MailMan.h"
#include "Messaging/Message.h"
#include "Messaging/MessageCatalogue.h"
#include "Util/Allocator.h"

namespace Msg {

#define HM_MSG_MEMBER(kind, name, ...) ::Msg::Kind::kind m_##name;
#define HM_MSG_PARAM(kind, name, ...) ::Msg::Param<::Msg::Kind::kind> name __VA_OPT__(= __VA_ARGS__)
#define HM_MSG_INIT(kind, name, ...) m_##name(name)
#define HM_MSG_CLASS(slot, cls, ...)                                                                                 \
  class cls final : public Message, public Util::Pooled<cls> {                                                       \
   public:                                                                                                           \
    static constexpr int kSlot = slot;                                                                               \
    explicit cls(HM_FIELD_LIST(HM_MSG_PARAM, __VA_ARGS__)) __VA_OPT__( : HM_FIELD_LIST(HM_MSG_INIT, __VA_ARGS__)) {} \
    void Deliver(MailMan* postOffice) override;                                                                      \
    HM_FIELDS(HM_MSG_MEMBER, __VA_ARGS__)                                                                            \
  };

HM_MESSAGE_CATALOGUE(HM_MSG_CLASS)

#undef HM_MSG_CLASS
#undef HM_MSG_INIT
#undef HM_MSG_PARAM
#undef HM_MSG_MEMBER

}  // namespace Msg
