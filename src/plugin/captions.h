#pragma once
// The constant texts the host shows for the plug-in, in UTF-8.
#include <string_view>

#include "maker.h"

namespace qv {

inline constexpr std::string_view kMenuName = "Детализации MTS (FORIS OSS), файлы в формате *.html";
inline constexpr std::string_view kDetalTypeName =
    "MTS биллинг FORIS в формате HTML, 2010-2011 г. Кодировка UTF-8;2";
inline constexpr std::string_view kExtTypeName = "Файлы HTML|*.htm;*.html|Все файлы|*.*";
// "МТС" in Cyrillic here, unlike the Latin "MTS" of the other texts.
inline constexpr std::string_view kAboutText =
    "Расширение к программе quarvel для распознования детализаций МТС (биллинг FORIS) "
    "2010-2011 г. Кодировка UTF-8\rURL=" QV_MAKER_URL;

static_assert(kMenuName.size() == 75 && kDetalTypeName.size() == 89 && kExtTypeName.size() == 50);
static_assert(kAboutText.size() <= 255, "the maker's address must fit the about text");

}  // namespace qv
