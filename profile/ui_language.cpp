#include "profile/ui_language.h"

#include <algorithm>
#include <initializer_list>

namespace korvanel::profile {
namespace {

// The lists are fixed, not a rule on the primary-language bits: French holds Frisian,
// Russian holds Belarusian, Norwegian only Bokmål.
bool listed(std::int32_t lcid, std::initializer_list<std::int32_t> lcids) {
  return std::find(lcids.begin(), lcids.end(), lcid) != lcids.end();
}

}  // namespace

bool IsEnglish(std::int32_t lcid) {
  return listed(lcid, {0x0C09, 0x2809, 0x1009, 0x2409, 0x3809, 0x1809, 0x2009, 0x1409, 0x3409,
                       0x1C09, 0x2C09, 0x0809, 0x0409, 0x3009});
}

bool IsSpanish(std::int32_t lcid) {
  return listed(lcid,
                {0x040A, 0x2C0A, 0x080A, 0x400A, 0x340A, 0x240A, 0x140A, 0x1C0A, 0x300A, 0x440A,
                 0x100A, 0x480A, 0x0C0A, 0x4C0A, 0x180A, 0x3C0A, 0x280A, 0x500A, 0x380A, 0x200A});
}

bool IsGerman(std::int32_t lcid) { return listed(lcid, {0x0407, 0x0C07, 0x1407, 0x1007, 0x0807}); }

bool IsFrench(std::int32_t lcid) {
  return listed(lcid, {0x080C, 0x040C, 0x2C0C, 0x0C0C, 0x300C, 0x3C0C, 0x140C, 0x340C, 0x180C,
                       0x380C, 0x200C, 0x280C, 0x1C0C, 0x240C, 0x0462, 0x100C});
}

bool IsItalian(std::int32_t lcid) { return listed(lcid, {0x0410, 0x0810}); }
bool IsDutch(std::int32_t lcid) { return listed(lcid, {0x0413, 0x0813}); }
bool IsRussian(std::int32_t lcid) { return listed(lcid, {0x0419, 0x0423, 0x0819}); }
bool IsUkrainian(std::int32_t lcid) { return lcid == 0x0422; }
bool IsBulgarian(std::int32_t lcid) { return lcid == 0x0402; }
bool IsSwedish(std::int32_t lcid) { return listed(lcid, {0x041D, 0x081D}); }
bool IsFinnish(std::int32_t lcid) { return lcid == 0x040B; }
bool IsPortugalPortuguese(std::int32_t lcid) { return lcid == 0x0816; }
bool IsBrazilPortuguese(std::int32_t lcid) { return lcid == 0x0416; }
bool IsNorwegian(std::int32_t lcid) { return lcid == 0x0414; }
bool IsCzech(std::int32_t lcid) { return lcid == 0x0405; }
bool IsDanish(std::int32_t lcid) { return lcid == 0x0406; }

LanguageFlags languageFlagsFor(std::int32_t uiLanguage) {
  LanguageFlags f;
  f.IsEnglishUI = IsEnglish(uiLanguage);
  f.IsSpanishUI = IsSpanish(uiLanguage);
  f.IsFrenchUI = IsFrench(uiLanguage);
  f.IsGermanUI = IsGerman(uiLanguage);
  f.IsItalianUI = IsItalian(uiLanguage);
  f.IsDutchUI = IsDutch(uiLanguage);
  f.IsRussianUI = IsRussian(uiLanguage);
  f.IsUkrainianUI = IsUkrainian(uiLanguage);
  f.IsBulgarianUI = IsBulgarian(uiLanguage);
  f.IsSwedishUI = IsSwedish(uiLanguage);
  f.IsFinnishUI = IsFinnish(uiLanguage);
  f.IsPortugalPortugueseUI = IsPortugalPortuguese(uiLanguage);
  f.IsBrazilPortugueseUI = IsBrazilPortuguese(uiLanguage);
  f.IsNorwegianUI = IsNorwegian(uiLanguage);
  f.IsCzechUI = IsCzech(uiLanguage);
  f.IsDanishUI = IsDanish(uiLanguage);
  return f;
}

}  // namespace korvanel::profile
