#include "addin/insp_tracking.h"

#include <limits>
#include <memory>
#include <vector>

#include "addin/cls_insp_wrap.h"

namespace korvanel::addin {

namespace {

bool isMeetingItemClass(long itemClass) {
  return itemClass >= platform::kOlMeetingRequest &&
         itemClass <= platform::kOlMeetingResponseTentative;
}

}  // namespace

bool tracksItemClass(long itemClass) {
  return itemClass == platform::kOlMail || itemClass == platform::kOlContact ||
         itemClass == platform::kOlTask || itemClass == platform::kOlAppointment ||
         isMeetingItemClass(itemClass);
}

void colInsp_NewInspector(AddinContext& ctx, const platform::InspectorPtr& inspector) {
  try {
    if (!inspector) return;
    // objInsp follows the newest window, tracked or not; the previous one's Close goes.
    std::vector<platform::Connection> connections;
    connections.push_back(inspector->onClose([&ctx] { objInsp_Close(ctx); }));
    ctx.objInsp.set(inspector, std::move(connections));

    const platform::ItemPtr item = inspector->currentItem();
    if (!item) return;
    if (tracksItemClass(item->itemClass())) AddInsp(ctx, inspector);
  } catch (...) {
  }
}

void objInsp_Close(AddinContext& ctx) {
  try {
    const platform::ApplicationPtr app = ctx.state.OutlookApp;
    if (!app) return;
    const platform::ExplorersPtr explorers = app->explorers();
    const platform::InspectorsPtr inspectors = app->inspectors();
    if (!explorers || !inspectors) return;
    // The closing window still counts among the Inspectors.
    if (explorers->count() != 0 || inspectors->count() > 1) return;
    ctx.objInsp.reset();
    if (ctx.releaseAddIn) ctx.releaseAddIn();
  } catch (...) {
  }
}

text::Text AddInsp(AddinContext& ctx, const platform::InspectorPtr& inspector) {
  try {
    auto wrapper = std::make_shared<clsInspWrap>(ctx);
    wrapper->Inspector(inspector);
    if (const platform::ItemPtr item = inspector ? inspector->currentItem() : nullptr) {
      const long itemClass = item->itemClass();
      if (itemClass == platform::kOlMail) {
        wrapper->MailItem(item);
      } else if (itemClass == platform::kOlContact) {
        wrapper->ContactItem(item);
      } else if (itemClass == platform::kOlTask) {
        wrapper->TaskItem(item);
      } else if (isMeetingItemClass(itemClass)) {
        wrapper->MeetingItem(item);
      }
      // An appointment is no meeting item: its wrapper holds only the window and the key.
    }

    SharedState& state = ctx.state;
    // The counter only ever grows, so a key is never handed out twice in one run; should it
    // ever reach its end, a window goes untracked rather than reuse a key.
    if (state.NextInspectorKey < 0 ||
        state.NextInspectorKey == std::numeric_limits<decltype(state.NextInspectorKey)>::max()) {
      return text::Text();
    }
    const auto key = state.NextInspectorKey;
    wrapper->Key(key);
    text::Text keyText = text::toText(key);
    const bool added = state.InspectorWrappers.emplace(keyText, wrapper).second;
    ++state.NextInspectorKey;
    return added ? keyText : text::Text();
  } catch (...) {
    return text::Text();
  }
}

void KillInsp(AddinContext& ctx, std::int64_t key, const clsInspWrap* wrapper) {
  try {
    auto& wrappers = ctx.state.InspectorWrappers;
    const auto it = wrappers.find(text::toText(key));
    // A missing key or another wrapper under it is an internal mismatch: nothing is removed.
    if (it == wrappers.end() || it->second.get() != wrapper) return;
    // Moved out first: the wrapper may go with the last reference, after the erase.
    std::shared_ptr<clsInspWrap> removed = std::move(it->second);
    wrappers.erase(it);
  } catch (...) {
  }
}

}  // namespace korvanel::addin
