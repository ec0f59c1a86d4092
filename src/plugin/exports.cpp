// The exported functions: arguments in, work handed on, every failure
// stopped here, because an exception crossing into the host ends it.
#include "plugin/qvmtsfrs.h"

#include "convert/conversion.h"
#include "detect/recognition.h"
#include "plugin/boundary.h"
#include "plugin/captions.h"
#include "runtime/locale_formats.h"

extern "C" {

QV_EXPORT uint8_t QV_CALL PlugInQuarvel(void) noexcept { return 1; }

QV_EXPORT void QV_CALL PlugInMenuName(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::kMenuName);
}

QV_EXPORT void QV_CALL PlugInDetalTypeName(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::kDetalTypeName);
}

QV_EXPORT void QV_CALL PlugInExtTypeName(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::kExtTypeName);
}

QV_EXPORT void QV_CALL PlugInAbout(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::kAboutText);
}

QV_EXPORT void QV_CALL PlugInNameDetal(unsigned char* buffer, QvHostCountedText path) noexcept {
  if (buffer == nullptr) {
    qv::RecordLastFailure("No buffer for the name");
    return;
  }
  // Cleared first: a failed recognition leaves the host the empty name.
  qv::StoreShortText(buffer, {});
  qv::RunAtBoundary([&] {
    qv::StoreShortText(buffer, qv::NameDetail(qv::PathArgument(path), qv::UserLocaleFormats(),
                                              qv::SystemLocalDate));
  });
}

QV_EXPORT uint8_t QV_CALL PlugInDoFile(QvHostCountedText input, QvHostCountedText output) noexcept {
  const qv::ConversionSettings settings{qv::UserLocaleFormats().decimalSeparator};
  const bool converted = qv::RunAtBoundary(
      [&] { qv::ConvertDetail(qv::PathArgument(input), qv::PathArgument(output), settings); });
  return converted ? 1 : 0;
}

QV_EXPORT void QV_CALL PlugInLastError(unsigned char* buffer) noexcept {
  if (buffer != nullptr) qv::StoreShortText(buffer, qv::LastFailure());
}

}  // extern "C"
