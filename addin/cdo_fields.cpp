#include "addin/cdo_fields.h"

#include "addin/message_property_names.h"

namespace korvanel::addin {

platform::Variant cdoFieldValue(platform::CdoFields& fields, text::TextView name) {
  const platform::CdoFieldPtr field = fields.itemByName(name);
  return field ? field->value() : platform::Variant();
}

platform::Variant cdoFieldValue(platform::CdoFields& fields, std::uint32_t propTag) {
  const platform::CdoFieldPtr field = fields.itemByTag(propTag);
  return field ? field->value() : platform::Variant();
}

text::Text cdoFieldText(platform::CdoFields& fields, text::TextView name) {
  return cdoFieldValue(fields, name).toText();
}

bool deleteCdoField(platform::CdoFields& fields, text::TextView name) {
  const platform::CdoFieldPtr field = fields.itemByName(name);
  return field && field->deleteField();
}

bool deleteCdoField(platform::CdoFields& fields, std::uint32_t propTag) {
  const platform::CdoFieldPtr field = fields.itemByTag(propTag);
  return field && field->deleteField();
}

bool addCommonTextField(platform::CdoFields& fields, text::TextView id, text::TextView value) {
  return fields.addNamed(id, platform::kCdoString, platform::Variant(value), cdo::kCommonSet) !=
         nullptr;
}

}  // namespace korvanel::addin
