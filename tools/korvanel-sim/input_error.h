// A bad input of korvanel-sim: which file, where in it, and what was expected. Every check
// of the command line's files throws one before anything runs; the command line prints it
// as one line on standard error and exits with status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace korvanel::tool {

struct InputError {
  std::string file;     // as the user named it
  std::string place;    // a JSON path ("$.steps[2].do"), "line 4", or empty
  std::string message;  // what is wrong and what was expected

  // "FILE: PLACE: MESSAGE" (the place left out when empty).
  std::string line() const {
    std::string out = file;
    if (!place.empty()) out += ": " + place;
    return out + ": " + message;
  }
};

class InputFailure : public std::runtime_error {
 public:
  explicit InputFailure(InputError error)
      : std::runtime_error(error.line()), error_(std::move(error)) {}
  const InputError& error() const { return error_; }

 private:
  InputError error_;
};

[[noreturn]] inline void failInput(std::string file, std::string place, std::string message) {
  throw InputFailure(InputError{std::move(file), std::move(place), std::move(message)});
}

}  // namespace korvanel::tool
