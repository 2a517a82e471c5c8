#include "profile_text.h"

#include <cstddef>
#include <vector>

namespace profile_text {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

struct Line {
    size_t begin;  // first byte
    size_t end;    // one past the last byte before the line end
    size_t next;   // first byte of the following line
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        size_t end = nl == std::string_view::npos ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r') --end;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

// Whether a line ends in a newline: the last one may not, or end in a
// carriage return alone, which would join the next line to it.
bool EndsInNewline(std::string_view text, const Line& line) {
    return line.next > line.end && text[line.next - 1] == '\n';
}

// The name of a section header line, or false when the line is not one.
bool SectionName(std::string_view line, std::string_view* name) {
    std::string_view t = Trim(line);
    if (t.empty() || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// Splits "key=value"; false for a line without '='.
bool KeyAndValue(std::string_view line, std::string_view* key, std::string_view* value) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    *key = Trim(line.substr(0, eq));
    *value = line.substr(eq + 1);
    return true;
}

struct SectionSpan {
    bool found = false;
    size_t header = 0;   // index of the header line
    size_t endLine = 0;  // index one past its last line
};

SectionSpan FindSection(const std::vector<Line>& lines, std::string_view text,
                        std::string_view section) {
    SectionSpan span;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (!SectionName(text.substr(lines[i].begin, lines[i].end - lines[i].begin), &name))
            continue;
        if (span.found) {
            span.endLine = i;
            return span;
        }
        if (SameName(name, section)) {
            span.found = true;
            span.header = i;
        }
    }
    span.endLine = lines.size();
    return span;
}

long FindKeyLine(const std::vector<Line>& lines, std::string_view text, const SectionSpan& span,
                 std::string_view key) {
    for (size_t i = span.header + 1; i < span.endLine; ++i) {
        std::string_view k, v;
        if (KeyAndValue(text.substr(lines[i].begin, lines[i].end - lines[i].begin), &k, &v) &&
            SameName(k, key))
            return static_cast<long>(i);
    }
    return -1;
}

// The value of a key line: trimmed of blanks and one pair of quotes.
std::string_view LineValue(std::string_view afterEquals) {
    std::string_view v = Trim(afterEquals);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string Lowered(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) c = AsciiLower(c);
    return lowered;
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 99;
}

}  // namespace

bool HasSection(std::string_view text, std::string_view section) {
    return FindSection(SplitLines(text), text, section).found;
}

bool FindValue(std::string_view text, std::string_view section, std::string_view key,
               std::string_view* value) {
    std::vector<Line> lines = SplitLines(text);
    SectionSpan span = FindSection(lines, text, section);
    if (!span.found) return false;
    long at = FindKeyLine(lines, text, span, key);
    if (at < 0) return false;
    const Line& line = lines[static_cast<size_t>(at)];
    std::string_view k, v;
    KeyAndValue(text.substr(line.begin, line.end - line.begin), &k, &v);
    *value = LineValue(v);
    return true;
}

ValueIndex IndexValues(std::string_view text) {
    ValueIndex index;
    // Only the first section of a name is searched, and in it the first line
    // of a key: later ones never count.
    std::unordered_map<std::string, std::string_view>* taking = nullptr;
    for (const Line& line : SplitLines(text)) {
        const std::string_view bytes = text.substr(line.begin, line.end - line.begin);
        std::string_view name, key, value;
        if (SectionName(bytes, &name)) {
            const auto added = index.sections.try_emplace(Lowered(name));
            taking = added.second ? &added.first->second : nullptr;
        } else if (taking != nullptr && KeyAndValue(bytes, &key, &value)) {
            taking->emplace(Lowered(key), LineValue(value));
        }
    }
    return index;
}

bool FindIndexedValue(const ValueIndex& index, std::string_view section, std::string_view key,
                      std::string_view* value) {
    const auto inSection = index.sections.find(Lowered(section));
    if (inSection == index.sections.end()) return false;
    const auto found = inSection->second.find(Lowered(key));
    if (found == inSection->second.end()) return false;
    *value = found->second;
    return true;
}

bool HasIndexedSection(const ValueIndex& index, std::string_view section) {
    return index.sections.count(Lowered(section)) != 0;
}

int32_t ParseInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    unsigned base = 10;
    if (i + 1 < s.size() && s[i] == '0') {
        char p = AsciiLower(s[i + 1]);
        if (p == 'x')
            base = 16;
        else if (p == 'o')
            base = 8;
        else if (p == 'b')
            base = 2;
        if (base != 10) i += 2;
    }
    uint32_t result = 0;
    for (; i < s.size(); ++i) {
        int d = DigitValue(s[i]);
        if (d >= static_cast<int>(base)) break;
        result = result * base + static_cast<uint32_t>(d);
    }
    if (negative) result = 0u - result;
    return static_cast<int32_t>(result);
}

std::string Edit(std::string_view text, std::string_view section, const char* key,
                 const char* value) {
    std::vector<Line> lines = SplitLines(text);
    const std::string_view eol =
        (text.empty() || text.find("\r\n") != std::string_view::npos) ? "\r\n" : "\n";
    SectionSpan span = FindSection(lines, text, section);
    std::string out;
    out.reserve(text.size() + 64);

    if (!span.found) {
        if (key == nullptr || value == nullptr) return std::string(text);
        out.append(text);
        if (!out.empty() && out.back() != '\n') out.append(eol);
        if (!out.empty()) out.append(eol);
        out.append("[").append(section).append("]").append(eol);
        out.append(key).append("=").append(value).append(eol);
        return out;
    }
    if (key == nullptr) {  // remove the whole section
        out.append(text.substr(0, lines[span.header].begin));
        if (span.endLine < lines.size()) out.append(text.substr(lines[span.endLine].begin));
        return out;
    }
    long at = FindKeyLine(lines, text, span, key);
    if (at >= 0) {
        const Line& line = lines[static_cast<size_t>(at)];
        out.append(text.substr(0, line.begin));
        if (value != nullptr) {
            size_t eq = text.find('=', line.begin);
            out.append(text.substr(line.begin, eq + 1 - line.begin));
            out.append(value);
            out.append(text.substr(line.end, line.next - line.end));
            if (!EndsInNewline(text, line)) out.append(eol);
        }
        out.append(text.substr(line.next));
        return out;
    }
    if (value == nullptr) return std::string(text);
    // Append after the section's last non-blank line.
    size_t last = span.header;
    for (size_t i = span.header + 1; i < span.endLine; ++i)
        if (!Trim(text.substr(lines[i].begin, lines[i].end - lines[i].begin)).empty()) last = i;
    const Line& after = lines[last];
    out.append(text.substr(0, after.next));
    if (!EndsInNewline(text, after)) out.append(eol);
    out.append(key).append("=").append(value).append(eol);
    out.append(text.substr(after.next));
    return out;
}

}  // namespace profile_text
