// The stop of a run (see stop.h).
#include "common/stop.h"

namespace tornal {

void stop(const std::string& message) { throw Stop(message); }

}  // namespace tornal
