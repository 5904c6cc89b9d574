#include "caught_exceptions.h"

#include <cxxabi.h>
#include <dlfcn.h>

#include <cstdlib>
#include <typeinfo>

namespace {

std::vector<std::string>& caught() {
  static std::vector<std::string> names;
  return names;
}

std::string readableName(const std::type_info* type) {
  if (type == nullptr) return "an exception of unknown type";
  int status = 0;
  char* name = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
  std::string out = status == 0 && name != nullptr ? name : type->name();
  std::free(name);
  return out;
}

}  // namespace

// Stands in front of the runtime's own: every catch clause of the program begins here.
extern "C" void* __cxa_begin_catch(void* exception) noexcept {
  using BeginCatch = void* (*)(void*) noexcept;
  static const auto real = reinterpret_cast<BeginCatch>(dlsym(RTLD_NEXT, "__cxa_begin_catch"));
  void* object = real(exception);
  caught().push_back(readableName(abi::__cxa_current_exception_type()));
  return object;
}

namespace korvanel::reliability {

std::vector<std::string> takeCaughtExceptions() {
  std::vector<std::string> out;
  out.swap(caught());
  return out;
}

}  // namespace korvanel::reliability
