// A small CDO 1.21 written for the tests: a session whose messages and info store hold
// fields by name or tag, and which notes how it was called (the arguments Logon got, which
// optional arguments were left out). Missing fields and unknown messages fail with
// MAPI_E_NOT_FOUND, as CDO does.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

#include "win/com/bstr.h"
#include "win/com/com_variant.h"
#include "win/com/variant_conversion.h"
#include "win/tests/scripted_object.h"

namespace korvanel::win::testing {

inline constexpr HRESULT kMapiENotFound = static_cast<HRESULT>(0x8004010F);

// A method whose handler takes the arguments first first.
using ArgumentsCall = std::function<HRESULT(std::span<const VARIANT> args, VARIANT* result)>;
inline void orderedMethod(ScriptedObject& object, text::TextView name, DISPID id,
                          ArgumentsCall call) {
  object.method(name, id, [call = std::move(call)](const DISPPARAMS& params, VARIANT* result) {
    std::vector<VARIANT> args;
    if (params.cArgs > 0) args.assign(params.rgvarg, params.rgvarg + params.cArgs);
    std::reverse(args.begin(), args.end());  // Invoke passes them last first
    return call(args, result);
  });
}

inline HRESULT giveObject(IDispatch* object, VARIANT* result) {
  if (result == nullptr) return S_OK;
  result->vt = VT_DISPATCH;
  result->pdispVal = object;
  object->AddRef();
  return S_OK;
}

inline HRESULT giveValue(const platform::Variant& value, VARIANT* result) {
  if (result == nullptr) return S_OK;
  return toVariant(value, result) ? S_OK : E_OUTOFMEMORY;
}

inline bool isMissing(const VARIANT& v) {
  return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND;
}

// How a call named a field: "tag:0x0E28001E" for a number, the text for a name.
inline text::Text fieldKey(const VARIANT& v) {
  if (v.vt == VT_I4) {
    return u"tag:" + text::toText(static_cast<long>(static_cast<std::uint32_t>(v.lVal) >> 16)) +
           u"/" + text::toText(static_cast<long>(v.lVal & 0xFFFF));
  }
  return fromVariant(v).toText();
}

// The fields of one message or store, shared by every Fields object handed out for it.
struct FakeFieldStore {
  std::map<text::Text, platform::Variant> values;
  // What each Add got: its key, the number of arguments and whether the last was left out.
  std::vector<text::Text> adds;
};

inline ComPtr<IDispatch> makeFakeField(std::shared_ptr<FakeFieldStore> store, text::Text key) {
  auto field = makeComObject<ScriptedObject>();
  field->member(
      u"Value", 1,
      [store, key](VARIANT* result) {
        auto it = store->values.find(key);
        return it == store->values.end() ? kMapiENotFound : giveValue(it->second, result);
      },
      [store, key](WORD, const VARIANT& value) {
        store->values[key] = fromVariant(value);
        return S_OK;
      });
  orderedMethod(*field.get(), u"Delete", 2, [store, key](std::span<const VARIANT>, VARIANT*) {
    return store->values.erase(key) == 1 ? S_OK : kMapiENotFound;
  });
  return ComPtr<IDispatch>(field.get());
}

inline ComPtr<IDispatch> makeFakeFields(std::shared_ptr<FakeFieldStore> store) {
  auto fields = makeComObject<ScriptedObject>();
  orderedMethod(*fields.get(), u"Item", 0, [store](std::span<const VARIANT> args, VARIANT* result) {
    if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
    const text::Text key = fieldKey(args[0]);
    if (store->values.count(key) == 0) return kMapiENotFound;
    return giveObject(makeFakeField(store, key).get(), result);
  });
  orderedMethod(*fields.get(), u"Add", 1, [store](std::span<const VARIANT> args, VARIANT* result) {
    if (args.size() < 2) return DISP_E_BADPARAMCOUNT;
    // Add(tag, value) or Add(name, class, value [, set]): the set, when given, is the key's.
    const bool byTag = args[0].vt == VT_I4;
    text::Text key = fieldKey(args[0]);
    const VARIANT& value = byTag ? args[1] : args[2];
    if (!byTag && args.size() == 4 && !isMissing(args[3])) {
      key = u"{" + fromVariant(args[3]).toText() + u"}" + key;
    }
    store->values[key] = fromVariant(value);
    store->adds.push_back(key + u" (" + text::toText(static_cast<long>(args.size())) + u")");
    return giveObject(makeFakeField(store, key).get(), result);
  });
  return ComPtr<IDispatch>(fields.get());
}

// An object whose Fields are the store's (a Message also has Update).
inline ComPtr<ScriptedObject> makeFakeFieldHolder(std::shared_ptr<FakeFieldStore> store,
                                                  int* updates = nullptr) {
  auto holder = makeComObject<ScriptedObject>();
  holder->member(u"Fields", 1, [store](VARIANT* result) {
    return giveObject(makeFakeFields(store).get(), result);
  });
  if (updates != nullptr) {
    orderedMethod(*holder.get(), u"Update", 2, [updates](std::span<const VARIANT>, VARIANT*) {
      ++*updates;
      return S_OK;
    });
  }
  return holder;
}

struct FakeCdo {
  std::shared_ptr<FakeFieldStore> message = std::make_shared<FakeFieldStore>();
  std::shared_ptr<FakeFieldStore> store = std::make_shared<FakeFieldStore>();
  int updates = 0;
  bool loggedOn = false;
  std::vector<text::Text> calls;  // "Logon(,,False,False)", "GetMessage(m1)", ...

  ComPtr<IDispatch> session() {
    auto s = makeComObject<ScriptedObject>();
    orderedMethod(*s.get(), u"Logon", 1, [this](std::span<const VARIANT> args, VARIANT*) {
      calls.push_back(u"Logon(" + argumentsText(args) + u")");
      loggedOn = true;
      return S_OK;
    });
    orderedMethod(*s.get(), u"Logoff", 2, [this](std::span<const VARIANT>, VARIANT*) {
      if (!loggedOn) return E_FAIL;
      loggedOn = false;
      return S_OK;
    });
    s->member(u"Name", 3, [this](VARIANT* result) {
      return loggedOn ? giveValue(platform::Variant(u"Outlook"), result) : E_FAIL;
    });
    orderedMethod(*s.get(), u"GetMessage", 4,
                  [this](std::span<const VARIANT> args, VARIANT* result) {
                    calls.push_back(u"GetMessage(" + argumentsText(args) + u")");
                    if (args.empty() || fromVariant(args[0]).toText() != u"m1")
                      return kMapiENotFound;
                    return giveObject(makeFakeFieldHolder(message, &updates).get(), result);
                  });
    orderedMethod(*s.get(), u"GetInfoStore", 5,
                  [this](std::span<const VARIANT> args, VARIANT* result) {
                    calls.push_back(u"GetInfoStore(" + argumentsText(args) + u")");
                    return giveObject(makeFakeFieldHolder(store).get(), result);
                  });
    return ComPtr<IDispatch>(s.get());
  }

 private:
  static text::Text argumentsText(std::span<const VARIANT> args) {
    text::Text out;
    for (std::size_t i = 0; i < args.size(); ++i) {
      out += (i > 0 ? u"," : u"") +
             (isMissing(args[i]) ? text::Text(u"<missing>") : fromVariant(args[i]).toText());
    }
    return out;
  }
};

}  // namespace korvanel::win::testing
