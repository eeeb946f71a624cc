#pragma once
// The board check's texts: every one from section [Sondaro] of Language.ini
// beside the program ("GetError" when missing, like the other tools). A
// text may hold %1 ... %9, filled in with what the check found, so that
// each language can put them where its sentences want them.
#include "common/TextFill.h"

#include <map>
#include <string>
#include <vector>

namespace boardcheck {

// The section of Language.ini.
const char* TextSection();

// Every key the check reads, in the order a translator meets them.
const std::vector<std::string>& TextKeys();

// The English of a key that came after the first Language.ini (shown when
// the file beside the check lacks it); null for the others.
const char* BuiltInEnglish(const std::string& key);

class CheckTexts {
public:
    void Set(const std::string& key, std::string text) { texts_[key] = std::move(text); }
    // The text of `key`; missing, its built-in English, or "GetError".
    std::string Get(const std::string& key) const;
    // The text with %1 ... filled in from `values`; a %n without a value stays.
    std::string Fill(const std::string& key, const std::vector<std::string>& values) const;

private:
    std::map<std::string, std::string> texts_;
};

using common::FillIn;

} // namespace boardcheck
