// Stand-in for the recognition until it is built: the export then reports a
// failure instead of a fake success.
#include "detect/recognition.h"
#include "runtime/service_error.h"

namespace qv {

std::string NameDetail(std::string_view) { throw ServiceError("not yet built"); }

}  // namespace qv
