#include "Languages.h"

#include <cctype>
#include <cstring>

namespace dvddec {
namespace {

struct Language {
  const char* code;
  const char* name;
  const char* code3;  // ISO 639-2, the bibliographic form where there are two (as Matroska files write them)
};

const Language kLanguages[] = {
    {"ar", "Arabic", "ara"},   {"bg", "Bulgarian", "bul"},  {"ca", "Catalan", "cat"},    {"cs", "Czech", "cze"},
    {"da", "Danish", "dan"},   {"de", "German", "ger"},     {"el", "Greek", "gre"},      {"en", "English", "eng"},
    {"es", "Spanish", "spa"},  {"et", "Estonian", "est"},   {"fa", "Persian", "per"},    {"fi", "Finnish", "fin"},
    {"fr", "French", "fre"},   {"ga", "Irish", "gle"},      {"he", "Hebrew", "heb"},     {"hi", "Hindi", "hin"},
    {"hr", "Croatian", "hrv"}, {"hu", "Hungarian", "hun"},  {"id", "Indonesian", "ind"}, {"is", "Icelandic", "ice"},
    {"it", "Italian", "ita"},  {"ja", "Japanese", "jpn"},   {"ko", "Korean", "kor"},     {"lt", "Lithuanian", "lit"},
    {"lv", "Latvian", "lav"},  {"ms", "Malay", "may"},      {"nl", "Dutch", "dut"},      {"no", "Norwegian", "nor"},
    {"pl", "Polish", "pol"},   {"pt", "Portuguese", "por"}, {"ro", "Romanian", "rum"},   {"ru", "Russian", "rus"},
    {"sk", "Slovak", "slo"},   {"sl", "Slovenian", "slv"},  {"sr", "Serbian", "srp"},    {"sv", "Swedish", "swe"},
    {"th", "Thai", "tha"},     {"tr", "Turkish", "tur"},    {"uk", "Ukrainian", "ukr"},  {"vi", "Vietnamese", "vie"},
    {"zh", "Chinese", "chi"},
};

// The table's entry of an IFO language code, nullptr when it has none.
const Language* Find(std::uint16_t code) {
  const char lower[3] = {char(std::tolower(code >> 8)), char(std::tolower(code & 0xFF)), 0};
  for (const Language& language : kLanguages)
    if (std::strcmp(language.code, lower) == 0) return &language;
  return nullptr;
}

}  // namespace

std::string LanguageCode(std::uint16_t code) {
  const Language* language = Find(code);
  return language ? language->code3 : "";
}

std::string LanguageName(std::uint16_t code) {
  const char letters[3] = {char(code >> 8), char(code & 0xFF), 0};
  if (!std::isalpha(static_cast<unsigned char>(letters[0])) || !std::isalpha(static_cast<unsigned char>(letters[1])))
    return {};
  if (const Language* language = Find(code)) return language->name;
  return {char(std::tolower(letters[0])), char(std::tolower(letters[1]))};
}

}  // namespace dvddec
