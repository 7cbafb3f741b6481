#include "Languages.h"

#include <cctype>
#include <cstring>

namespace dvddec {
namespace {

struct Language {
  const char* code;
  const char* name;
};

const Language kLanguages[] = {
    {"ar", "Arabic"},   {"bg", "Bulgarian"}, {"ca", "Catalan"},   {"cs", "Czech"},      {"da", "Danish"},
    {"de", "German"},   {"el", "Greek"},     {"en", "English"},   {"es", "Spanish"},    {"et", "Estonian"},
    {"fa", "Persian"},  {"fi", "Finnish"},   {"fr", "French"},    {"ga", "Irish"},      {"he", "Hebrew"},
    {"hi", "Hindi"},    {"hr", "Croatian"},  {"hu", "Hungarian"}, {"id", "Indonesian"}, {"is", "Icelandic"},
    {"it", "Italian"},  {"ja", "Japanese"},  {"ko", "Korean"},    {"lt", "Lithuanian"}, {"lv", "Latvian"},
    {"ms", "Malay"},    {"nl", "Dutch"},     {"no", "Norwegian"}, {"pl", "Polish"},     {"pt", "Portuguese"},
    {"ro", "Romanian"}, {"ru", "Russian"},   {"sk", "Slovak"},    {"sl", "Slovenian"},  {"sr", "Serbian"},
    {"sv", "Swedish"},  {"th", "Thai"},      {"tr", "Turkish"},   {"uk", "Ukrainian"},  {"vi", "Vietnamese"},
    {"zh", "Chinese"},
};

}  // namespace

std::string LanguageName(std::uint16_t code) {
  const char letters[3] = {char(code >> 8), char(code & 0xFF), 0};
  if (!std::isalpha(static_cast<unsigned char>(letters[0])) || !std::isalpha(static_cast<unsigned char>(letters[1])))
    return {};
  const char lower[3] = {char(std::tolower(letters[0])), char(std::tolower(letters[1])), 0};
  for (const Language& language : kLanguages)
    if (std::strcmp(language.code, lower) == 0) return language.name;
  return lower;
}

}  // namespace dvddec
