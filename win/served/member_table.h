// The members one served interface answers: Outlook's member names, their DISPIDs, the names
// of their parameters (for named arguments), and the handlers behind them; plus the event
// interfaces its objects source. One table per served class, built once.
//
//   const MemberTable& ServedFolder::table() {
//     static const MemberTable t = Members<ServedFolder>(u"MAPIFolder")
//         .get(u"Name", [](ServedFolder& s, Call& c) { return c.returns(s.folder->name()); })
//         .build();
//     return t;
//   }
#pragma once

#include <oaidl.h>

#include <functional>
#include <map>
#include <vector>

#include "platform/event.h"
#include "win/served/served_call.h"

namespace korvanel::win::served {

class ServedObject;
class EventPoint;

struct MemberEntry {
  Text name;
  DISPID id = DISPID_UNKNOWN;
  std::vector<Text> params;
  std::function<HRESULT(ServedObject&, Call&)> get;  // property get or method
  std::function<HRESULT(ServedObject&, Call&)> put;  // property put / putref
};

// An event interface the object sources: connect() hooks the platform events while a sink
// is advised, and fires them through the point.
struct EventSourceEntry {
  IID iid;
  std::function<std::vector<platform::Connection>(ServedObject&, EventPoint&)> connect;
};

class MemberTable {
 public:
  // library tells apart interfaces of one name in two libraries (Outlook's and Word's
  // _Application): their GUIDs differ.
  MemberTable(Text library, Text interfaceName, std::vector<MemberEntry> members,
              std::vector<EventSourceEntry> events);
  // Its type information refers to it: a table stays where it was built.
  MemberTable(const MemberTable&) = delete;
  MemberTable& operator=(const MemberTable&) = delete;

  // Outlook's interface name ("_MailItem") and the stable GUID given for it.
  const Text& interfaceName() const { return interfaceName_; }
  const GUID& guid() const { return guid_; }
  // The name the statistics use: "_MailItem", "Word._Application".
  const std::string& interfaceNameUtf8() const { return interfaceNameUtf8_; }
  // By name without regard to case; null when the interface has no such member.
  const MemberEntry* byName(TextView name) const;
  const MemberEntry* byId(DISPID id) const;
  const std::vector<EventSourceEntry>& events() const { return events_; }
  ITypeInfo* typeInfo() const { return typeInfo_.get(); }

 private:
  Text interfaceName_;
  std::string interfaceNameUtf8_;
  GUID guid_;
  std::vector<MemberEntry> members_;
  std::map<Text, std::size_t> byName_;  // folded name
  std::map<DISPID, std::size_t> byId_;
  std::vector<EventSourceEntry> events_;
  ComPtr<ITypeInfo> typeInfo_;
};

// Builds the table of the served class Self; DISPIDs are given in order from 0x6000 unless
// a member names its own (Outlook's, where known).
template <class Self>
class Members {
 public:
  using Fn = HRESULT (*)(Self&, Call&);
  using Connect = std::vector<platform::Connection> (*)(Self&, EventPoint&);

  explicit Members(Text interfaceName, Text library = u"Outlook")
      : library_(std::move(library)), interfaceName_(std::move(interfaceName)) {}

  Members& get(TextView name, Fn fn, DISPID id = DISPID_UNKNOWN) {
    return add(name, id, {}, fn, nullptr);
  }
  Members& getPut(TextView name, Fn get, Fn put, DISPID id = DISPID_UNKNOWN) {
    return add(name, id, {}, get, put);
  }
  Members& method(TextView name, std::vector<Text> params, Fn fn, DISPID id = DISPID_UNKNOWN) {
    return add(name, id, std::move(params), fn, nullptr);
  }
  Members& events(const IID& iid, Connect connect) {
    events_.push_back(EventSourceEntry{iid, [connect](ServedObject& o, EventPoint& p) {
                                         return connect(static_cast<Self&>(o), p);
                                       }});
    return *this;
  }
  MemberTable build() {
    return MemberTable(std::move(library_), std::move(interfaceName_), std::move(members_),
                       std::move(events_));
  }

 private:
  static std::function<HRESULT(ServedObject&, Call&)> wrap(Fn fn) {
    if (fn == nullptr) return {};
    return [fn](ServedObject& o, Call& c) { return fn(static_cast<Self&>(o), c); };
  }
  Members& add(TextView name, DISPID id, std::vector<Text> params, Fn get, Fn put) {
    MemberEntry e;
    e.name = Text(name);
    e.id = id != DISPID_UNKNOWN ? id : static_cast<DISPID>(0x6000 + members_.size());
    e.params = std::move(params);
    e.get = wrap(get);
    e.put = wrap(put);
    members_.push_back(std::move(e));
    return *this;
  }

  Text library_;
  Text interfaceName_;
  std::vector<MemberEntry> members_;
  std::vector<EventSourceEntry> events_;
};

}  // namespace korvanel::win::served
