// Office's COMAddIn over late binding: the AddInInst that the host passes at connection, and
// Application.COMAddIns with its items. A COMAddIn's Object is DISPID 7.
#pragma once

#include <oaidl.h>

#include "platform/outlook.h"
#include "win/com/com_ptr.h"

namespace korvanel::win {

class ComAddInAdapter final : public platform::COMAddIn {
 public:
  // self and selfCom, when given, are the add-in's own published object and the COM
  // object of this DLL that stands for it: setObject(self) publishes selfCom, and object()
  // gives self back when the host holds selfCom. selfCom is not owned (the COM object owns
  // whatever holds this adapter).
  explicit ComAddInAdapter(ComPtr<IDispatch> addIn, platform::DispatchPtr self = nullptr,
                           IDispatch* selfCom = nullptr)
      : addIn_(std::move(addIn)), self_(std::move(self)), selfCom_(selfCom) {}

  platform::Text progId() override;
  platform::DispatchPtr object() override;
  // Nothing clears the Object; self publishes selfCom; an object reached through
  // late binding is published as itself; any other object cannot be published (false).
  bool setObject(const platform::DispatchPtr& object) override;
  bool connect() override;
  bool setConnect(bool value) override;

 private:
  ComPtr<IDispatch> addIn_;
  platform::DispatchPtr self_;
  IDispatch* selfCom_;
};

// Application.COMAddIns; null for a null object.
platform::COMAddInsPtr makeComAddIns(ComPtr<IDispatch> addIns);

// The DISPID of COMAddIn.Object.
inline constexpr DISPID kDispidComAddInObject = 7;

}  // namespace korvanel::win
