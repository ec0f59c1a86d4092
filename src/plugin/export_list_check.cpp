// The C header against the export list: every listed function is declared,
// and its arguments take the listed bytes on the stack of 32-bit Windows,
// which the .def file's decorated names (Name@N) depend on.
#include <cstddef>
#include <type_traits>

#include "plugin/qvmtsfrs.h"

namespace qv {
namespace {

// Every stdcall argument fills whole 4-byte slots; a pointer fills one.
template <class Parameter>
constexpr std::size_t kI686StackBytes = std::is_pointer_v<Parameter>
                                            ? 4
                                            : (sizeof(Parameter) + 3) / 4 * 4;

template <class Result, class... Parameters>
constexpr std::size_t I686StackBytesOf(Result(QV_CALL*)(Parameters...)) {
  return (std::size_t{0} + ... + kI686StackBytes<Parameters>);
}

#define QV_PLUGIN_EXPORT(name, ordinal, bytes)        \
  static_assert(I686StackBytesOf(&::name) == (bytes), \
                #name ": argument bytes differ from the list");
#include "qvmtsfrs_exports.h"
#undef QV_PLUGIN_EXPORT

}  // namespace
}  // namespace qv
