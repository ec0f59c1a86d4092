/* The plug-in functions the host calls. C only: this is the whole surface
   of the library. */
#ifndef QVMTSFRS_H
#define QVMTSFRS_H

#include <stdint.h>

#if defined(_WIN32)
#define QV_CALL __stdcall
#define QV_EXPORT
#else
#define QV_CALL
#define QV_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define QV_NOEXCEPT noexcept
extern "C" {
#else
#define QV_NOEXCEPT
#endif

/* A ShortText255: byte 0 the length n, bytes 1..n the text. The caller
   provides 256 bytes. */
typedef unsigned char QvShortText255[256];

/* A path as the host passes it: points at the first byte of a
   zero-terminated text; the 32-bit length stands in the four bytes before
   it, the host's reference count in the four before those. */
typedef const char* QvHostCountedText;

QV_EXPORT uint8_t QV_CALL PlugInDoFile(QvHostCountedText input,
                                       QvHostCountedText output) QV_NOEXCEPT;
QV_EXPORT void QV_CALL PlugInAbout(unsigned char* buffer) QV_NOEXCEPT;
QV_EXPORT void QV_CALL PlugInExtTypeName(unsigned char* buffer) QV_NOEXCEPT;
QV_EXPORT void QV_CALL PlugInDetalTypeName(unsigned char* buffer) QV_NOEXCEPT;
QV_EXPORT void QV_CALL PlugInNameDetal(unsigned char* buffer, QvHostCountedText path) QV_NOEXCEPT;
QV_EXPORT void QV_CALL PlugInMenuName(unsigned char* buffer) QV_NOEXCEPT;
QV_EXPORT uint8_t QV_CALL PlugInQuarvel(void) QV_NOEXCEPT;
/* The message of the failure that ended the last PlugInDoFile or
   PlugInNameDetal call made on the calling thread, in UTF-8; the empty text
   after a call that succeeded. */
QV_EXPORT void QV_CALL PlugInLastError(unsigned char* buffer) QV_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
