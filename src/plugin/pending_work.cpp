// Stand-ins for the recognition and the conversion until they are built:
// the exports then report a failure instead of a fake success.
#include "convert/conversion.h"
#include "detect/recognition.h"
#include "runtime/service_error.h"

namespace qv {

void ConvertDetail(std::string_view, std::string_view) { throw ServiceError("not yet built"); }

std::string NameDetail(std::string_view) { throw ServiceError("not yet built"); }

}  // namespace qv
