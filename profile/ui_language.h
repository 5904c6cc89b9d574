// Outlook's user-interface language: one predicate per language the product types
// keystrokes for, each true for a fixed list of Windows language identifiers (LCIDs), and
// the flags computed from them once at start-up.
#pragma once

#include <cstdint>

namespace korvanel::profile {

bool IsEnglish(std::int32_t lcid);
bool IsSpanish(std::int32_t lcid);
bool IsGerman(std::int32_t lcid);
bool IsFrench(std::int32_t lcid);
bool IsItalian(std::int32_t lcid);
bool IsDutch(std::int32_t lcid);
bool IsRussian(std::int32_t lcid);
bool IsUkrainian(std::int32_t lcid);
bool IsBulgarian(std::int32_t lcid);
bool IsSwedish(std::int32_t lcid);
bool IsFinnish(std::int32_t lcid);
bool IsPortugalPortuguese(std::int32_t lcid);
bool IsBrazilPortuguese(std::int32_t lcid);
bool IsNorwegian(std::int32_t lcid);
bool IsCzech(std::int32_t lcid);
bool IsDanish(std::int32_t lcid);

// All false until computed; the lists do not overlap, so at most one is true.
struct LanguageFlags {
  bool IsEnglishUI = false;
  bool IsSpanishUI = false;
  bool IsFrenchUI = false;
  bool IsGermanUI = false;
  bool IsItalianUI = false;
  bool IsDutchUI = false;
  bool IsRussianUI = false;
  bool IsUkrainianUI = false;
  bool IsBulgarianUI = false;
  bool IsSwedishUI = false;
  bool IsFinnishUI = false;
  bool IsPortugalPortugueseUI = false;
  bool IsBrazilPortugueseUI = false;
  bool IsNorwegianUI = false;
  bool IsCzechUI = false;
  bool IsDanishUI = false;

  bool operator==(const LanguageFlags&) const = default;
};

LanguageFlags languageFlagsFor(std::int32_t uiLanguage);

}  // namespace korvanel::profile
