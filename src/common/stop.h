// The stop of a run: a procedure that cannot go on throws, and the main
// program catches it, closes what is open, shows the message on the console
// and ends with exit status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace tornal {

// Thrown by stop(); `message` is UTF-8, ready for the console.
class Stop : public std::runtime_error {
 public:
  explicit Stop(const std::string& message) : std::runtime_error(message) {}
};

// An index that input data pushed out of an array: a fault no reader has
// reported, whose message also belongs in the run log.
class IndexOutOfRange : public Stop {
 public:
  explicit IndexOutOfRange(const std::string& message) : Stop(message) {}
};

[[noreturn]] void stop(const std::string& message);

}  // namespace tornal
