/* The converter as the page's WebAssembly module offers it. C only. Paths
   are UTF-8 names in the module's file system, where the page mounts the
   files it was given; the outputs go to the page's script as they are made
   (page_library.js). No exception leaves these functions:
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

/* A walk over a detail that the page reads itself, so that its reading
   goes on while the module walks. Kind 0 makes the report, naming the file
   filename and writing minutes with decimalSeparator: its bytes go to
   QvPageWrite on channel 0 as they are made. Kind 1 makes the rows of the
   tool's "calls" and "summary" CSV listings (naming the file filename,
   without header rows), on channels 1 and 2; a walk of its own, so that the
   report need not wait for them.
   Start gives the walk, or NULL after a failure. Then, block by block:
   Space gives the address of the room for the next bytes and its size in
   *size (NULL after a failure); the page puts bytes there and tells Added
   how many, which walks as far as they allow. At the end of the detail,
   Finish; where the page's read failed, ReadFailed, with the path its
   message names. A failure ends the walk's output with what was found
   before. Each returns 1 on success, 0 after a failure; every walk is
   freed with End. */
void* QvPageStartWalk(int kind, const char* filename, char decimalSeparator) QV_PAGE_NOEXCEPT;
char* QvPageWalkSpace(void* walk, size_t* size) QV_PAGE_NOEXCEPT;
uint8_t QvPageWalkAdded(void* walk, size_t count) QV_PAGE_NOEXCEPT;
uint8_t QvPageFinishWalk(void* walk) QV_PAGE_NOEXCEPT;
void QvPageWalkReadFailed(void* walk, const char* path) QV_PAGE_NOEXCEPT;
void QvPageEndWalk(void* walk) QV_PAGE_NOEXCEPT;

/* The header rows of the two listings, on channels 1 and 2. */
uint8_t QvPageListingHeads(void) QV_PAGE_NOEXCEPT;

/* The message of the failure that ended the last call above as the tool
   prints it, with the cause it names where it names one: its first
   capacity bytes go into buffer, and the whole message's length is
   returned (0 after a call that succeeded). */
size_t QvPageLastError(char* buffer, size_t capacity) QV_PAGE_NOEXCEPT;

/* Supplied by the page's script. */
void QvPageWrite(int channel, const char* data, size_t size);

#ifdef __cplusplus
}
#endif

#endif
