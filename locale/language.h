// Which built-in language the window texts come from. The product stores its language as a
// display name ("Portuguese (PT-BR)"); the built-in tables are named by that name reduced to
// upper-case ASCII letters and digits ("PORTUGUESEPTBR").
#pragma once
#include <optional>
#include <string>

namespace locale {

// Keeps only ASCII letters and digits, upper-cased. A name of other characters only gives "".
std::string NormalizeLangName(const std::string& displayName);

// Picks the "LANG" table of the product's language, falling back to "ENGLISH"; nothing when
// neither exists. Sets LangResName to the chosen name (or empty).
std::optional<std::string> LoadLanguage();

// Upper-case name of the table LoadLanguage chose; empty when none could be chosen.
std::string LangResName();

}  // namespace locale
