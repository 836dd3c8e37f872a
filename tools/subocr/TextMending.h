#pragma once

#include <string>

// What OCR gets wrong on subtitles, mended where the right answer is certain
// in every language Tesseract reads here (Latin scripts). Text is UTF-8.

namespace subocr {

struct MendingRules
{
    // French sets a space before ! ? ; and : which stays then.
    bool spaceBeforeHighPunctuation = false;
};

// The rules for Tesseract's language list ("deu+fra").
MendingRules mendingRulesFor(const std::string& languages);

// Typographic and doubled quotes made plain ('' “ ” „ to ", ‘ ’ ` to '),
// ligatures spelt out.
std::string plainQuotes(const std::string& line);
// | at the start of a word is I; l is I where only I can stand: "l" alone,
// l'm l'll l've l'd, lt ln ls lf (and lt's), l before a capital.
std::string mendCapitalI(const std::string& line);
// No space before , and . (nor before ! ? ; : unless the rules keep it)
// where they end a word; runs of spaces made one.
std::string mendSpacing(const std::string& line, const MendingRules& rules);
// A leading — – or _ is the dialogue dash "- ".
std::string mendDialogueDash(const std::string& line);

// All of the above, line by line; lines of nothing but specks (dots, quotes,
// dashes, bars) and empty ones go. Empty when nothing is left.
std::string mendText(const std::string& text, const MendingRules& rules);

} // namespace subocr
