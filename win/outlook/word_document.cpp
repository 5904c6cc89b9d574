#include "win/outlook/word_document.h"

#include "win/com/late_bound_object.h"

namespace korvanel::win {

namespace {

class WordApplicationAdapter final : public platform::WordApplication, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  bool setCustomizationContextSaved(bool value) override {
    return LateBoundObject(object(u"CustomizationContext")).set(u"Saved", value);
  }
  long windowsCount() override { return LateBoundObject(object(u"Windows")).number(u"Count"); }
  // Quit(SaveChanges, OriginalFormat, RouteDocument): only the first is given.
  bool quit(long saveChanges) override { return run(u"Quit", {saveChanges}); }
};

class WordDocumentAdapter final : public platform::WordDocument, public LateBoundObject {
 public:
  using LateBoundObject::LateBoundObject;
  platform::WordApplicationPtr application() override {
    return adapt<WordApplicationAdapter>(object(u"Application"));
  }
  platform::WordApplicationPtr parent() override {
    return adapt<WordApplicationAdapter>(object(u"Parent"));
  }
  bool close(long saveChanges) override { return run(u"Close", {saveChanges}); }
};

}  // namespace

platform::WordDocumentPtr makeWordDocument(ComPtr<IDispatch> document) {
  return adapt<WordDocumentAdapter>(std::move(document));
}

}  // namespace korvanel::win
