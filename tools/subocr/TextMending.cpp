#include "subocr/TextMending.h"

#include <array>
#include <string_view>
#include <utility>

namespace subocr {

namespace {

bool isAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

// Part of a word: letters, digits, apostrophes and any non-ASCII byte (the
// letters of other Latin alphabets). | is taken as a misread letter.
bool isWordByte(char c)
{
    return isAsciiLetter(c) || (c >= '0' && c <= '9') || c == '\'' || c == '|' ||
           (static_cast<unsigned char>(c) & 0x80) != 0;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Whether the word (from a word start) must begin with I rather than l.
bool mustBeCapitalI(std::string_view word)
{
    if (word == "l")
        return true;
    if (word.size() >= 2 && isUpper(word[1]))
        return true;
    for (const std::string_view contraction : {"l'm", "l'll", "l've", "l'd"}) {
        if (word == contraction)
            return true;
    }
    for (const std::string_view short_ : {"lt", "ln", "ls", "lf"}) {
        if (word == short_ || (short_ == "lt" && word == "lt's"))
            return true;
    }
    return false;
}

} // namespace

MendingRules mendingRulesFor(const std::string& languages)
{
    MendingRules rules;
    std::size_t start = 0;
    while (start <= languages.size()) {
        const std::size_t plus = languages.find('+', start);
        const std::string language =
            languages.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (language == "fra" || language == "frm")
            rules.spaceBeforeHighPunctuation = true;
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    return rules;
}

std::string plainQuotes(const std::string& line)
{
    static const std::array<std::pair<std::string_view, std::string_view>, 11> kReplacements = {{
        {"\u201C", "\""}, // “
        {"\u201D", "\""}, // ”
        {"\u201E", "\""}, // „
        {"\u2018", "'"},  // ‘
        {"\u2019", "'"},  // ’
        {"``", "\""},
        {"`", "'"},
        {"''", "\""},
        {"\uFB01", "fi"},
        {"\uFB02", "fl"},
        {"\u00A0", " "}, // no-break space
    }};
    std::string text = line;
    for (const auto& [from, to] : kReplacements)
        replaceAll(text, from, to);
    return text;
}

std::string mendCapitalI(const std::string& line)
{
    std::string text = line;
    std::size_t at = 0;
    while (at < text.size()) {
        if (!isWordByte(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && isWordByte(text[end]))
            ++end;
        // Quotes before a word are no part of it.
        std::size_t start = at;
        while (start < end && text[start] == '\'')
            ++start;
        if (start < end && text[start] == '|')
            text[start] = 'I';
        if (start < end && text[start] == 'l' &&
            mustBeCapitalI(std::string_view(text).substr(start, end - start)))
            text[start] = 'I';
        at = end;
    }
    return text;
}

std::string mendSpacing(const std::string& line, const MendingRules& rules)
{
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c != ' ') {
            out += c;
            continue;
        }
        if (!out.empty() && out.back() == ' ')
            continue;
        // The punctuation after the spaces ends a word when what follows it
        // is no letter (" ...and" is an ellipsis leading into a word).
        std::size_t next = i;
        while (next < line.size() && line[next] == ' ')
            ++next;
        std::size_t after = next;
        const std::string_view closing = rules.spaceBeforeHighPunctuation ? ",." : ",.!?;:";
        while (after < line.size() && closing.find(line[after]) != std::string_view::npos)
            ++after;
        const bool endsWord = after > next && (after == line.size() || !isWordByte(line[after]));
        if (!out.empty() && endsWord)
            continue;
        out += ' ';
    }
    return trimmed(out);
}

std::string mendDialogueDash(const std::string& line)
{
    const std::string text = trimmed(line);
    for (const std::string_view dash : {"\u2014", "\u2013", "_"}) {
        if (text.compare(0, dash.size(), dash) == 0)
            return "- " + trimmed(text.substr(dash.size()));
    }
    return text;
}

std::string mendText(const std::string& text, const MendingRules& rules)
{
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        for (char& c : line) {
            if (c == '\t' || c == '\r' || c == '\f')
                c = ' ';
        }
        line = mendDialogueDash(mendSpacing(mendCapitalI(plainQuotes(line)), rules));
        if (line.find_first_not_of(" .,'\"-_|~*`") != std::string::npos) {
            if (!out.empty())
                out += '\n';
            out += line;
        }
        start = end + 1;
    }
    return out;
}

} // namespace subocr
