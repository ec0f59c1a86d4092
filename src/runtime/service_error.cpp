#include "runtime/service_error.h"

namespace qv {

void RaiseListIndexError(std::int64_t index) {
  throw ServiceError("List index (" + std::to_string(index) + ") out of bounds");
}

}  // namespace qv
