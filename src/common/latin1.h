// Texts of the system: Latin-1 bytes, one byte a character, as they stand in
// the files. The system's messages are UTF-8 literals in the sources and are
// turned into Latin-1 here; the console gets UTF-8 back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tornal {

// UTF-8 to Latin-1; a character outside Latin-1 becomes '?'.
std::string latin1(std::string_view utf8);

// Latin-1 to UTF-8, for the console.
std::string utf8(std::string_view latin1_text);

// The text held at a fixed length: cut to `length` bytes or filled with blanks.
std::string padded(std::string_view text, std::size_t length);

// The text without its trailing blanks (a file name, a name in a report).
std::string trimmed(std::string_view text);

// A fixed-length text of blanks.
inline std::string blanks(std::size_t length) { return std::string(length, ' '); }

}  // namespace tornal
