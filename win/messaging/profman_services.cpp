#include "win/messaging/profman_services.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

namespace {

using platform::TextView;

class ServicesAdapter final : public platform::ProfManServices, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::ProfManServicePtr item(long index) override {
    return makeProfManService(object(u"Item", {index}));
  }
  platform::ProfManServicePtr add(TextView serviceName, TextView displayName,
                                  bool showDialog) override {
    return makeProfManService(callObject(u"Add", {serviceName, displayName, showDialog}));
  }
};

class ServiceAdapter final : public platform::ProfManService, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::ProfManProvidersPtr providers() override {
    return makeProfManProviders(object(u"Providers"));
  }
  bool configure(long flags, const platform::ProfManPropertyBagPtr& bag) override {
    // Configure(flags, parent window, bag): no window, so no user interface. Only a bag this
    // library made can be handed back to it.
    IDispatch* bagObject = comObjectOf(bag);
    if (bagObject == nullptr) return false;
    CallArguments args{flags};
    args.addMissing().addObject(bagObject);
    return run(u"Configure", args);
  }
};

class ProvidersAdapter final : public platform::ProfManProviders, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  long count() override { return number(u"Count"); }
  platform::ProfManProviderPtr item(long index) override {
    return makeProfManProvider(object(u"Item", {index}));
  }
};

class ProviderAdapter final : public platform::ProfManProvider, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::Text uId() override { return text(u"uId"); }
  platform::Text displayName() override { return text(u"DisplayName"); }
};

}  // namespace

platform::ProfManServicesPtr makeProfManServices(ComPtr<IDispatch> services) {
  return adapt<ServicesAdapter>(std::move(services));
}

platform::ProfManServicePtr makeProfManService(ComPtr<IDispatch> service) {
  return adapt<ServiceAdapter>(std::move(service));
}

platform::ProfManProvidersPtr makeProfManProviders(ComPtr<IDispatch> providers) {
  return adapt<ProvidersAdapter>(std::move(providers));
}

platform::ProfManProviderPtr makeProfManProvider(ComPtr<IDispatch> provider) {
  return adapt<ProviderAdapter>(std::move(provider));
}

}  // namespace korvanel::win
