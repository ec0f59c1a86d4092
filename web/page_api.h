/* The converter as the page's WebAssembly module offers it. C only. Paths
   are UTF-8 names in the module's file system, where the page mounts the
   files it was given; the report and the progress go to the page's script
   as they are made (page_library.js). No exception leaves these functions:
   a failure ends the call and QvPageLastError tells its message. */
#ifndef QVMTSFRS_PAGE_API_H
#define QVMTSFRS_PAGE_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define QV_PAGE_NOEXCEPT noexcept
#else
#define QV_PAGE_NOEXCEPT
#endif

/* The display name of the detail at path, as a ShortText255 in buffer (256
   bytes): empty for a file that is no detail, and after a failure. The
   formats are what the user's locale would give: a one-byte date and time
   separator, a short date pattern ("dd.mm.yyyy") and the two designators. */
void QvPageNameDetail(unsigned char* buffer, const char* path, char dateSeparator,
                      const char* shortDatePattern, char timeSeparator, const char* amDesignator,
                      const char* pmDesignator) QV_PAGE_NOEXCEPT;

/* Converts the detail at path; the report names it filename (UTF-8) and
   writes minutes with decimalSeparator. The report's bytes go to
   QvPageWrite on channel 0 as they are made, the bytes read so far to
   QvPageProgress after each block. 1 on success, 0 after a failure. */
uint8_t QvPageConvertDetail(const char* path, const char* filename,
                            char decimalSeparator) QV_PAGE_NOEXCEPT;

/* Walks the detail at path again for the rows of the tool's "calls" and
   "summary" CSV listings (naming the file filename, without header rows),
   on channels 1 and 2, and the progress as above. A pass of its own, so
   that the report is ready before the listings. The listings hold what was
   found before a failure. 1 on success, 0 after a failure. */
uint8_t QvPageListDetail(const char* path, const char* filename) QV_PAGE_NOEXCEPT;

/* The header rows of the two listings, on channels 1 and 2. */
uint8_t QvPageListingHeads(void) QV_PAGE_NOEXCEPT;

/* The message of the failure that ended the last call above as the tool
   prints it, with the cause it names where it names one: its first
   capacity bytes go into buffer, and the whole message's length is
   returned (0 after a call that succeeded). */
size_t QvPageLastError(char* buffer, size_t capacity) QV_PAGE_NOEXCEPT;

/* Supplied by the page's script. */
void QvPageWrite(int channel, const char* data, size_t size);
void QvPageProgress(double bytesRead);

#ifdef __cplusplus
}
#endif

#endif
