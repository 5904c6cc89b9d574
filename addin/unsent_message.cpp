#include "addin/unsent_message.h"

namespace korvanel::addin {
namespace {

using text::Text;

bool sameFolder(const platform::FolderPtr& a, const platform::FolderPtr& b) {
  if (!a || !b) return false;
  const Text id = a->entryId();
  return !id.empty() && text::equalsNoCase(id, b->entryId());
}

Text quotedSubject(platform::Item& item) {
  Text subject = item.subject();
  if (subject.empty()) return u"The message";
  return u"The message \"" + subject + u"\"";
}

}  // namespace

void keepUnsentMessage(AddinContext& ctx, const platform::ItemPtr& item) {
  if (!item) return;
  platform::ItemPtr kept = item;
  const platform::NameSpacePtr& ns = ctx.state.MapiNamespace;
  const platform::FolderPtr drafts = ns ? ns->getDefaultFolder(platform::kOlFolderDrafts) : nullptr;
  if (drafts && !sameFolder(item->parent(), drafts)) {
    if (platform::ItemPtr moved = item->move(drafts)) kept = moved;
  }
  // Without the marker a later arrival in Deleted Items does not send it behind the
  // user's back, and the copy the user sends does not carry it into Sent Items.
  kept->setBillingInformation(u"");
  kept->save();

  const platform::FolderPtr folder = kept->parent();
  Text where = folder ? folder->name() : Text();
  if (where.empty()) where = u"Drafts";
  Text message = quotedSubject(*kept) + u" could not be sent.\r";
  message += u"It is in your \"" + where + u"\" folder; please open it there and send it again.";
  const platform::FolderPtr deleted =
      ns ? ns->getDefaultFolder(platform::kOlFolderDeletedItems) : nullptr;
  if (sameFolder(folder, deleted)) {
    message += u"\rMove it out of that folder before you empty it.";
  }
  ctx.services.shell.messageBox(message, kAddinTitle, platform::kMbIconExclamation);
}

void reportMessageKeptOpen(AddinContext& ctx, const platform::ItemPtr& item) {
  Text message = (item ? quotedSubject(*item) : Text(u"The message")) +
                 u" could not be prepared for sending and has not been sent.\r"
                 u"It is still open; please send it again.";
  ctx.services.shell.messageBox(message, kAddinTitle, platform::kMbIconExclamation);
}

}  // namespace korvanel::addin
