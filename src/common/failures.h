// The two failures every reader of the system reports the same way: a file
// that cannot be opened (one line in the run log) and a read error (the
// message, the counter's label and the counter, each on its own line); both
// stop the run with "error".
#pragma once

#include "common/free_writer.h"

namespace tornal {

[[noreturn]] void access_failure(RunLog& log, const char* message);
[[noreturn]] void read_failure(RunLog& log, const char* message, const char* label, long counter);

}  // namespace tornal
