// Recording stand-ins for the shell and the profile-management library, for the tests of
// the profile re-read: just enough to see what was started, shown, created and deleted.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/profman.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "text/text.h"

namespace korvanel::profile::testing {

using text::Text;
using text::TextView;

class RecordingShell final : public platform::Shell {
 public:
  struct Box {
    Text text;
    Text title;
    long style;
  };
  struct Start {
    Text commandLine;
    int windowStyle;
  };

  int messageBox(TextView text, TextView title, long style) override {
    boxes.push_back({Text(text), Text(title), style});
    return platform::kIdOk;
  }
  std::optional<Text> inputBox(TextView, TextView, TextView) override { return std::nullopt; }
  void sendKeys(TextView keys, bool) override { sentKeys.emplace_back(keys); }
  std::intptr_t shellExecute(platform::WindowHandle, TextView, TextView, TextView, TextView,
                             int) override {
    return 0;
  }
  Text environmentVariable(TextView name) override {
    auto it = environment.find(Text(name));
    return it == environment.end() ? Text() : it->second;
  }
  bool startProcess(TextView commandLine, int windowStyle) override {
    starts.push_back({Text(commandLine), windowStyle});
    return startSucceeds;
  }
  std::vector<Text> listFiles(TextView directory) override {
    listed.emplace_back(directory);
    auto it = folders.find(Text(directory));
    return it == folders.end() ? std::vector<Text>() : it->second;
  }
  bool deleteFile(TextView path) override {
    deleted.emplace_back(path);
    return true;
  }
  void doEvents() override { ++doEventsCalls; }
  void sleep(unsigned long) override {}
  unsigned ansiCodePage() override { return 1252; }
  int getSystemMetrics(int) override { return 0; }
  int drawText(const platform::FontSpec&, TextView, int, platform::TextRect*,
               std::uint32_t) override {
    return 0;
  }
  std::intptr_t sendMessage(platform::WindowHandle, std::uint32_t, std::uintptr_t,
                            std::intptr_t) override {
    return 0;
  }

  std::map<Text, Text> environment{{u"ProgramFiles", u"C:\\Program Files"},
                                   {u"AppData", u"C:\\Users\\pat\\AppData\\Roaming"}};
  std::map<Text, std::vector<Text>> folders;
  bool startSucceeds = true;
  std::vector<Box> boxes;
  std::vector<Start> starts;
  std::vector<Text> sentKeys;
  std::vector<Text> listed;
  std::vector<Text> deleted;
  int doEventsCalls = 0;
};

// The profile manager's view of the machine's profiles.
struct FakeProfManState {
  struct Provider {
    Text uId;
    Text displayName;
  };
  struct Service {
    Text name;
    std::vector<Provider> providers;
    std::vector<std::pair<std::uint32_t, Text>> configuredWith;
    bool configured = false;
  };
  struct Profile {
    Text name;
    std::vector<Service> services;
  };
  std::vector<Profile> profiles;
  std::vector<Text> deleted;
  bool failAdd = false;
  bool failServiceAdd = false;
  bool failBag = false;

  Profile* find(TextView name) {
    for (Profile& p : profiles)
      if (p.name == name) return &p;
    return nullptr;
  }
};

class FakeProvider final : public platform::ProfManProvider {
 public:
  explicit FakeProvider(FakeProfManState::Provider p) : p_(std::move(p)) {}
  Text uId() override { return p_.uId; }
  Text displayName() override { return p_.displayName; }

 private:
  FakeProfManState::Provider p_;
};

class FakeProviders final : public platform::ProfManProviders {
 public:
  explicit FakeProviders(std::vector<FakeProfManState::Provider> list) : list_(std::move(list)) {}
  long count() override { return static_cast<long>(list_.size()); }
  platform::ProfManProviderPtr item(long i) override {
    if (i < 1 || i > count()) return nullptr;
    return std::make_shared<FakeProvider>(list_[static_cast<std::size_t>(i - 1)]);
  }

 private:
  std::vector<FakeProfManState::Provider> list_;
};

class FakeBag final : public platform::ProfManPropertyBag {
 public:
  bool add(std::uint32_t tag, const platform::Variant& value) override {
    values.emplace_back(tag, value.toText());
    return true;
  }
  std::vector<std::pair<std::uint32_t, Text>> values;
};

class FakeService final : public platform::ProfManService {
 public:
  FakeService(FakeProfManState& state, Text profile, std::size_t index)
      : state_(state), profile_(std::move(profile)), index_(index) {}
  platform::ProfManProvidersPtr providers() override {
    return std::make_shared<FakeProviders>(service()->providers);
  }
  bool configure(long, const platform::ProfManPropertyBagPtr& bag) override {
    auto* fake = dynamic_cast<FakeBag*>(bag.get());
    if (fake) service()->configuredWith = fake->values;
    service()->configured = true;
    return true;
  }

 private:
  FakeProfManState::Service* service() {
    FakeProfManState::Profile* p = state_.find(profile_);
    return p ? &p->services.at(index_) : nullptr;
  }
  FakeProfManState& state_;
  Text profile_;
  std::size_t index_;
};

class FakeServices final : public platform::ProfManServices {
 public:
  FakeServices(FakeProfManState& state, Text profile)
      : state_(state), profile_(std::move(profile)) {}
  long count() override {
    auto* p = state_.find(profile_);
    return p ? static_cast<long>(p->services.size()) : 0;
  }
  platform::ProfManServicePtr item(long i) override {
    if (i < 1 || i > count()) return nullptr;
    return std::make_shared<FakeService>(state_, profile_, static_cast<std::size_t>(i - 1));
  }
  platform::ProfManServicePtr add(TextView name, TextView, bool) override {
    auto* p = state_.find(profile_);
    if (!p || state_.failServiceAdd) return nullptr;
    p->services.push_back({Text(name), {}, {}, false});
    return std::make_shared<FakeService>(state_, profile_, p->services.size() - 1);
  }

 private:
  FakeProfManState& state_;
  Text profile_;
};

class FakeProfile final : public platform::ProfManProfile {
 public:
  FakeProfile(FakeProfManState& state, Text name) : state_(state), name_(std::move(name)) {}
  Text name() override { return name_; }
  platform::ProfManServicesPtr services() override {
    return std::make_shared<FakeServices>(state_, name_);
  }
  bool deleteProfile() override {
    std::erase_if(state_.profiles, [&](const auto& p) { return p.name == name_; });
    state_.deleted.push_back(name_);
    return true;
  }

 private:
  FakeProfManState& state_;
  Text name_;
};

class FakeProfiles final : public platform::ProfManProfiles {
 public:
  explicit FakeProfiles(FakeProfManState& state) : state_(state) {}
  long count() override { return static_cast<long>(state_.profiles.size()); }
  platform::ProfManProfilePtr item(long i) override {
    if (i < 1 || i > count()) return nullptr;
    return std::make_shared<FakeProfile>(state_,
                                         state_.profiles[static_cast<std::size_t>(i - 1)].name);
  }
  platform::ProfManProfilePtr add(TextView name, bool, bool) override {
    if (state_.failAdd || state_.find(name)) return nullptr;
    state_.profiles.push_back({Text(name), {}});
    return std::make_shared<FakeProfile>(state_, Text(name));
  }

 private:
  FakeProfManState& state_;
};

class FakeObjects final : public platform::ObjectFactory {
 public:
  platform::CdoSessionPtr createCdoSession() override { return nullptr; }
  platform::ProfManProfilesPtr createProfManProfiles() override {
    return profManInstalled ? std::make_shared<FakeProfiles>(state) : nullptr;
  }
  platform::ProfManPropertyBagPtr createProfManPropertyBag() override {
    return profManInstalled && !state.failBag ? std::make_shared<FakeBag>() : nullptr;
  }
  platform::ApplicationPtr createOutlookApplication() override { return nullptr; }

  FakeProfManState state;
  bool profManInstalled = true;
};

}  // namespace korvanel::profile::testing
