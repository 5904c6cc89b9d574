// Word as Outlook's mail editor: the document an Inspector's WordEditor gives, and the Word
// application behind it. Failures give nullptr / 0 / false. Single-threaded.
#pragma once

#include <memory>

namespace korvanel::platform {

class WordApplication;
class WordDocument;
using WordApplicationPtr = std::shared_ptr<WordApplication>;
using WordDocumentPtr = std::shared_ptr<WordDocument>;

inline constexpr long kWdDoNotSaveChanges = 0;

class WordDocument {
 public:
  virtual ~WordDocument() = default;
  virtual WordApplicationPtr application() = 0;
  // A document's Parent is its Word application.
  virtual WordApplicationPtr parent() = 0;
  virtual bool close(long saveChanges) = 0;
};

class WordApplication {
 public:
  virtual ~WordApplication() = default;
  // CustomizationContext.Saved = value (the Normal template is not offered for saving).
  virtual bool setCustomizationContextSaved(bool value) = 0;
  // Windows.Count.
  virtual long windowsCount() = 0;
  virtual bool quit(long saveChanges) = 0;
};

}  // namespace korvanel::platform
