#include "runtime/locale_formats.h"

namespace qv {

LocaleFormatsRecord LocaleFormats;

namespace {

// Defined after LocaleFormats in this same file, so the record is built
// before it is filled: at library load, or at program start when the core
// is linked statically, before anything can parse or format.
const bool localeFormatsLoaded = (LoadLocaleFormats(), true);

}  // namespace

}  // namespace qv
