#include "win/system/advapi_registry.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win/com/wide.h"

namespace korvanel::win {

using platform::RegHandle;
using platform::RegStatus;
using platform::Text;
using platform::TextView;

namespace {

HKEY toHkey(RegHandle h) {
  // Windows' roots are sign-extended on 64-bit, so they are mapped by value, not cast.
  switch (h) {
    case platform::kHkeyClassesRoot:
      return HKEY_CLASSES_ROOT;
    case platform::kHkeyCurrentUser:
      return HKEY_CURRENT_USER;
    case platform::kHkeyLocalMachine:
      return HKEY_LOCAL_MACHINE;
    default:
      return reinterpret_cast<HKEY>(h);
  }
}

bool isRoot(RegHandle h) {
  return h == platform::kHkeyClassesRoot || h == platform::kHkeyCurrentUser ||
         h == platform::kHkeyLocalMachine;
}

// Allocation failure is the only exception these calls can meet; it becomes a status.
template <class Body>
RegStatus safely(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}

// The names of every subkey (values = false) or value of key, sorted without regard to case.
RegStatus listNames(HKEY key, bool values, std::vector<Text>& names) {
  DWORD count = 0;
  DWORD maxLength = 0;
  LONG status = values ? RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, &count, &maxLength, nullptr, nullptr, nullptr)
                       : RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &maxLength,
                                          nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  std::wstring buffer(std::max<DWORD>(maxLength + 1, 256), L'\0');
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    status = values ? RegEnumValueW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr,
                                    nullptr)
                    : RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr,
                                    nullptr);
    if (status == ERROR_MORE_DATA && buffer.size() < 65536) {
      // A longer name appeared since the count was taken; retry this index.
      buffer.resize(buffer.size() * 2);
      --i;
      continue;
    }
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return status;
    names.push_back(fromWide(buffer.data(), length));
  }
  std::sort(names.begin(), names.end(),
            [](const Text& a, const Text& b) { return text::compareNoCase(a, b) < 0; });
  return ERROR_SUCCESS;
}

}  // namespace

RegStatus AdvapiRegistry::openKey(RegHandle parent, TextView subkey, std::uint32_t access,
                                  RegHandle* out) {
  if (out == nullptr) return ERROR_INVALID_PARAMETER;
  *out = 0;
  return safely([&] {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExW(toHkey(parent), toWide(subkey).c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS) *out = reinterpret_cast<RegHandle>(key);
    return status;
  });
}

RegStatus AdvapiRegistry::createKey(RegHandle parent, TextView subkey, std::uint32_t access,
                                    RegHandle* out, bool* created) {
  if (out == nullptr) return ERROR_INVALID_PARAMETER;
  *out = 0;
  if (created != nullptr) *created = false;
  return safely([&] {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status =
        RegCreateKeyExW(toHkey(parent), toWide(subkey).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, access, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) {
      *out = reinterpret_cast<RegHandle>(key);
      if (created != nullptr) *created = disposition == REG_CREATED_NEW_KEY;
    }
    return status;
  });
}

RegStatus AdvapiRegistry::closeKey(RegHandle key) {
  if (key == 0 || isRoot(key)) return ERROR_SUCCESS;
  return RegCloseKey(toHkey(key));
}

RegStatus AdvapiRegistry::queryValue(RegHandle key, TextView name, platform::RegValue* out) {
  return safely([&] {
    const std::wstring wideName = toWide(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &type, nullptr, &size);
    if (out == nullptr) return status;  // only whether it exists
    std::vector<std::uint8_t> data;
    // The value may grow between the two calls; a few rounds settle it.
    for (int round = 0; round < 8 && (status == ERROR_SUCCESS || status == ERROR_MORE_DATA);
         ++round) {
      data.resize(size);
      status = RegQueryValueExW(toHkey(key), wideName.c_str(), nullptr, &type,
                                data.empty() ? nullptr : data.data(), &size);
      if (status == ERROR_SUCCESS) {
        data.resize(std::min<std::size_t>(size, data.size()));
        out->type = type;
        out->data = std::move(data);
        return status;
      }
    }
    return status;
  });
}

RegStatus AdvapiRegistry::setValue(RegHandle key, TextView name, std::uint32_t type,
                                   const std::uint8_t* data, std::size_t size) {
  if (size > MAXDWORD - 2 || (data == nullptr && size != 0)) return ERROR_INVALID_PARAMETER;
  return safely([&] {
    // For a string whose last character is not a NUL, Windows looks at the character after
    // the data and, when that one is a NUL, stores it too: it reads past the caller's buffer
    // and changes the value. A copy followed by two non-zero bytes keeps the bytes exact.
    std::vector<std::uint8_t> padded;
    if (size != 0 && (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)) {
      padded.assign(data, data + size);
      padded.push_back(0xFF);
      padded.push_back(0xFF);
      data = padded.data();
    }
    return RegSetValueExW(toHkey(key), toWide(name).c_str(), 0, type, data,
                          static_cast<DWORD>(size));
  });
}

RegStatus AdvapiRegistry::deleteValue(RegHandle key, TextView name) {
  return safely([&] { return RegDeleteValueW(toHkey(key), toWide(name).c_str()); });
}

RegStatus AdvapiRegistry::deleteKey(RegHandle parent, TextView subkey) {
  return safely([&] { return RegDeleteKeyW(toHkey(parent), toWide(subkey).c_str()); });
}

RegStatus AdvapiRegistry::enumKey(RegHandle key, std::uint32_t index, Text* name) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  return safely([&] {
    std::vector<Text> names;
    const LONG status = listNames(toHkey(key), false, names);
    if (status != ERROR_SUCCESS) return status;
    if (index >= names.size()) return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
    *name = std::move(names[index]);
    return status;
  });
}

RegStatus AdvapiRegistry::enumValue(RegHandle key, std::uint32_t index, Text* name,
                                    platform::RegValue* value) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  return safely([&] {
    std::vector<Text> names;
    const LONG status = listNames(toHkey(key), true, names);
    if (status != ERROR_SUCCESS) return status;
    if (index >= names.size()) return static_cast<LONG>(ERROR_NO_MORE_ITEMS);
    if (value != nullptr) {
      const LONG read = queryValue(key, names[index], value);
      if (read != ERROR_SUCCESS) return read;
    }
    *name = std::move(names[index]);
    return status;
  });
}

}  // namespace korvanel::win
