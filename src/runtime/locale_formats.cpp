#include "runtime/locale_formats.h"

namespace qv {

namespace {

// A namespace-scope object, not a function-local static: it is read during
// static initialisation, at library load (or at program start when the core
// is linked statically), so on Windows it holds the locale of the thread
// that loads the library rather than that of whichever thread calls first.
const LocaleFormatsRecord userLocaleFormats = ReadLocaleFormats();

}  // namespace

const LocaleFormatsRecord& UserLocaleFormats() { return userLocaleFormats; }

}  // namespace qv
