// Access and read failures of the readers (see failures.h).
#include "common/failures.h"

#include "common/stop.h"

namespace tornal {

void access_failure(RunLog& log, const char* message) {
  log.write({message});
  stop("error");
}

void read_failure(RunLog& log, const char* message, const char* label, long counter) {
  log.write({message});
  log.write({label});
  log.write({counter});
  stop("error");
}

}  // namespace tornal
