#include "addin/connect_object.h"

#include <limits>
#include <utility>

#include "addin/accessible_mailboxes.h"

namespace korvanel::addin {

namespace {

using platform::Variant;
using text::equalsNoCase;
using text::TextView;

class ConnectObject final : public platform::Dispatch {
 public:
  explicit ConnectObject(const std::shared_ptr<AddinContext>& context) : context_(context) {}

  Variant get(TextView member) override {
    try {
      const std::shared_ptr<AddinContext> context = context_.lock();
      if (!context) return Variant();
      SharedState& state = context->state;
      if (equalsNoCase(member, u"sUN")) return Variant(state.CurrentUserName);
      if (equalsNoCase(member, u"sPN")) return Variant(state.ProfileName);
      if (equalsNoCase(member, u"sSMBXs")) return Variant(refreshAccessibleMailboxes(*context));
    } catch (...) {
    }
    return Variant();
  }

  bool put(TextView member, const Variant& value) override {
    try {
      const std::shared_ptr<AddinContext> context = context_.lock();
      if (!context || !equalsNoCase(member, u"IsRestart")) return false;
      // A 16-bit property: a value outside that range is refused, as COM's conversion does.
      const long mode = value.toLong();
      if (mode < std::numeric_limits<std::int16_t>::min() ||
          mode > std::numeric_limits<std::int16_t>::max())
        return false;
      context->state.RestartMode = static_cast<std::int16_t>(mode);
      return true;
    } catch (...) {
      return false;
    }
  }

  Variant call(TextView member, const std::vector<Variant>& args) override {
    try {
      if (equalsNoCase(member, u"PrepareAccessibleMBX") && args.empty()) {
        if (const std::shared_ptr<AddinContext> context = context_.lock())
          PrepareAccessibleMBX(*context);
      } else if (args.empty()) {
        // A property get called as a method, as late binding allows.
        return get(member);
      }
    } catch (...) {
    }
    return Variant();
  }

 private:
  std::weak_ptr<AddinContext> context_;
};

}  // namespace

platform::DispatchPtr makeConnectObject(const std::shared_ptr<AddinContext>& context) {
  if (!context) return nullptr;
  return std::make_shared<ConnectObject>(context);
}

}  // namespace korvanel::addin
