#pragma once

#include "engine/OraDate.h"
#include "engine/OraNumber.h"

#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Oracle's format models for TO_CHAR, TO_NUMBER and TO_DATE, in the AMERICAN language with '.' as the
// decimal and ',' as the group character.

// TO_CHAR(number, format): TM, TM9, TME, or a model of FM, $, S, 9, 0, ',', G, '.', D, EEEE, MI, PR.
// A value too wide for the model gives '#' over the model's width plus one. nullopt for an invalid model.
std::optional<std::string> formatNumber(const OraNumber& value, std::string_view format);
// The TME form: minimal mantissa, "E", a sign and at least two exponent digits ("1.23E+02").
std::string formatScientific(const OraNumber& value);
// TO_NUMBER(text, format): the text read under the model (blanks, sign, '$', group characters allowed
// where the model has them). Throws OraException ORA-01722 when the text does not match.
OraNumber parseNumber(std::string_view text, std::string_view format);

// TO_CHAR(date, format): YYYY YYY YY Y RRRR RR MM MON MONTH DD DDD D DY DAY HH HH12 HH24 MI SS SSSSS
// AM PM A.M. P.M. Q J FM FX, punctuation and "quoted text". Names follow the case of the element
// ("Mon" -> "Jan"); MONTH and DAY are blank-padded unless FM. nullopt for an unknown element (ORA-01821).
std::optional<std::string> formatDate(const OraDate& value, std::string_view format);
// TO_DATE(text, format). Missing fields default as Oracle's do (current year and month, day 1, midnight).
// Throws OraException with ORA-01821, 01830, 01840, 01843, 01847, 01849, 01850, 01851, 01852, 01858,
// 01861 or 01841 as the text or model calls for.
OraDate parseDate(std::string_view text, std::string_view format);
// The session's default date format when TO_DATE and TO_CHAR get none.
inline constexpr std::string_view DefaultDateFormat = "DD-MON-RR";

} // namespace engine
