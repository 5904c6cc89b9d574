#include "win/outlook/outlook_application.h"

#include "win/outlook/com_addin.h"
#include "win/com/com_variant.h"
#include "win/com/late_bound.h"
#include "win/com/variant_conversion.h"

namespace korvanel::win {

using platform::Connection;
using platform::Text;
using platform::TextView;

namespace {

// A property that holds an object; null when it fails or holds none.
ComPtr<IDispatch> objectProperty(IDispatch* object, TextView name,
                                 std::span<const VARIANT> args = {}) {
  ComVariant value;
  if (FAILED(getProperty(object, name, value.put(), args)) || value.type() != VT_DISPATCH) {
    return {};
  }
  return ComPtr<IDispatch>(value.get().pdispVal);
}

platform::Variant valueProperty(IDispatch* object, TextView name,
                                std::span<const VARIANT> args = {}) {
  ComVariant value;
  if (FAILED(getProperty(object, name, value.put(), args))) return {};
  return fromVariant(value.get());
}

class ExplorersAdapter final : public platform::Explorers {
 public:
  explicit ExplorersAdapter(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  long count() override {
    try {
      return valueProperty(object_.get(), u"Count").toLong();
    } catch (...) {
      return 0;
    }
  }
  platform::ExplorerPtr item(long) override { return nullptr; }

 private:
  ComPtr<IDispatch> object_;
};

class InspectorsAdapter final : public platform::Inspectors {
 public:
  explicit InspectorsAdapter(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  long count() override {
    try {
      return valueProperty(object_.get(), u"Count").toLong();
    } catch (...) {
      return 0;
    }
  }
  platform::InspectorPtr item(long) override { return nullptr; }
  Connection onNewInspector(NewInspectorHandler) override { return Connection(); }

 private:
  ComPtr<IDispatch> object_;
};

class ComAddInsAdapter final : public platform::COMAddIns {
 public:
  explicit ComAddInsAdapter(ComPtr<IDispatch> object) : object_(std::move(object)) {}
  long count() override {
    try {
      return valueProperty(object_.get(), u"Count").toLong();
    } catch (...) {
      return 0;
    }
  }
  platform::COMAddInPtr item(TextView progId) override {
    try {
      ComVariant index;
      if (!toVariant(platform::Variant(progId), index.put())) return nullptr;
      ComVariant value;
      if (FAILED(callMethod(object_.get(), u"Item", {index.get()}, value.put())) ||
          value.type() != VT_DISPATCH || value.get().pdispVal == nullptr) {
        return nullptr;
      }
      return std::make_shared<ComAddInAdapter>(ComPtr<IDispatch>(value.get().pdispVal));
    } catch (...) {
      return nullptr;
    }
  }

 private:
  ComPtr<IDispatch> object_;
};

class ApplicationAdapter final : public platform::Application {
 public:
  explicit ApplicationAdapter(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  Text version() override {
    try {
      return valueProperty(object_.get(), u"Version").toText();
    } catch (...) {
      return {};
    }
  }
  platform::NameSpacePtr getNamespace(TextView) override { return nullptr; }
  platform::ExplorersPtr explorers() override {
    return wrap<ExplorersAdapter>(u"Explorers");
  }
  platform::InspectorsPtr inspectors() override {
    return wrap<InspectorsAdapter>(u"Inspectors");
  }
  platform::ExplorerPtr activeExplorer() override { return nullptr; }
  platform::InspectorPtr activeInspector() override { return nullptr; }
  platform::ItemPtr createItem(long) override { return nullptr; }
  long languageId(long msoLanguageId) override {
    try {
      ComPtr<IDispatch> settings = objectProperty(object_.get(), u"LanguageSettings");
      if (!settings) return 0;
      VARIANT id;
      VariantInit(&id);
      id.vt = VT_I4;
      id.lVal = static_cast<LONG>(msoLanguageId);
      return valueProperty(settings.get(), u"LanguageID", {&id, 1}).toLong();
    } catch (...) {
      return 0;
    }
  }
  platform::COMAddInsPtr comAddIns() override { return wrap<ComAddInsAdapter>(u"COMAddIns"); }
  void quit() override {
    try {
      callMethod(object_.get(), u"Quit", {}, nullptr);
    } catch (...) {
    }
  }
  Connection onItemSend(ItemSendHandler) override { return Connection(); }
  Connection onNewMailEx(NewMailExHandler) override { return Connection(); }
  Connection onOptionsPagesAdd(OptionsPagesAddHandler) override { return Connection(); }

 private:
  template <class Adapter>
  std::shared_ptr<Adapter> wrap(TextView member) {
    try {
      ComPtr<IDispatch> object = objectProperty(object_.get(), member);
      return object ? std::make_shared<Adapter>(std::move(object)) : nullptr;
    } catch (...) {
      return nullptr;
    }
  }

  ComPtr<IDispatch> object_;
};

}  // namespace

platform::ApplicationPtr makeApplication(ComPtr<IDispatch> application) {
  if (!application) return nullptr;
  return std::make_shared<ApplicationAdapter>(std::move(application));
}

}  // namespace korvanel::win
