#include "transfer/settings_text.h"

#include <algorithm>

namespace corvanta::listing {

namespace {

constexpr std::size_t kTitleWidth = 78;     // a page title is centred to at least this
constexpr std::size_t kLastTextColumn = 79;  // a broken line ends in "}" right after it
constexpr std::size_t kBraceColumn = 60;     // a '{' beyond it moves left before a break
constexpr std::size_t kHeaderIndent = 12;    // continuation lines of the components header

const Line kComponents = U"{Components: ";

bool isLetter(char32_t c) { return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || c == U'_'; }
bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

Line ascii(const std::string& s) { return Line(s.begin(), s.end()); }

Line dashesFor(const Line& text) {
  return U"{" + Line(text.size() >= 2 ? text.size() - 2 : 0, U'-') + U"}";
}

Line withoutTrailingBlanks(Line s) {
  while (!s.empty() && s.back() == U' ') s.pop_back();
  return s;
}

// A value column is a number when it holds digits and dots, with a leading
// minus sign before one of those.
bool isNumber(const Line& v) {
  if (v.empty()) return false;
  std::size_t i = 0;
  if (v[0] == U'-') {
    if (v.size() < 2) return false;
    i = 1;
  }
  return std::all_of(v.begin() + std::ptrdiff_t(i), v.end(), [](char32_t c) { return isDigit(c) || c == U'.'; });
}

// One break of a too-long line at `at`; false when the line is left as it is.
bool wrapOnce(Lines& lines, std::size_t at) {
  Line s = lines[at];
  const std::size_t close = s.find(U'}');
  s = withoutTrailingBlanks(close == Line::npos ? s : s.substr(0, close)) + U" }";
  std::size_t brace = s.find(U'{');
  if (brace != Line::npos && brace + 1 > kBraceColumn) {
    std::size_t from = brace;
    while (from > 0 && s[from - 1] == U' ') --from;
    s = s.substr(0, from) + U" " + s.substr(brace);
    brace = from + 1;
  }
  lines[at] = s;
  if (s.size() <= kPageWidth) return false;
  const std::size_t indent = brace == Line::npos ? 0 : brace;
  // q counts characters kept on this line. The rest goes under the '{'
  // behind "{ "; a break that does not shorten the line would repeat
  // forever, so such a line stays long.
  std::size_t q = 0;
  for (std::size_t p = kLastTextColumn; p >= 1; --p) {
    const char32_t c = s[p - 1];
    if (c == U' ' || c == U'-' || c == U',') {
      q = p;
      break;
    }
  }
  if (q <= indent + 2) return false;
  Line head = s.substr(0, q);
  head.resize(kLastTextColumn, U' ');
  lines[at] = head + U"}";
  lines.insert(lines.begin() + std::ptrdiff_t(at) + 1, Line(indent, U' ') + U"{ " + s.substr(q));
  return true;
}

}  // namespace

std::optional<std::size_t> alignColumn(Lines& lines, std::size_t first, std::size_t last, std::size_t start,
                                       char32_t c, Pad pad) {
  last = std::min(last, lines.size());
  std::vector<std::size_t> found(last > first ? last - first : 0, Line::npos);
  std::size_t widest = 0;
  for (std::size_t i = first; i < last; ++i) {
    if (lines[i].size() <= start) continue;
    const std::size_t p = lines[i].find(c, start);
    if (p == Line::npos) continue;
    found[i - first] = p;
    widest = std::max(widest, p - start + 1);
  }
  if (widest == 0) return std::nullopt;
  for (std::size_t i = first; i < last; ++i) {
    const std::size_t p = found[i - first];
    if (p == Line::npos) continue;
    const std::size_t n = p - start + 1;
    lines[i].insert(pad == Pad::BeforeChar ? p : start, widest - n, U' ');
  }
  // Every line that has `c` now has it in one column, so "just after it in
  // the last line" is the same place for all of them.
  return start + widest;
}

Line trimmed(const Line& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] <= U' ') ++b;
  while (e > b && s[e - 1] <= U' ') --e;
  return s.substr(b, e - b);
}

Line checkMark(bool checked) { return checked ? U"X" : U"-"; }

Line checkListText(const std::vector<bool>& items) {
  Line out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += U' ';
    out += checkMark(items[i]);
  }
  return out;
}

Line textOrEmptyMark(const Line& text) { return text.empty() ? Line(1, kEmptyMark) : text; }

Line indexWithItemText(int index, const Line& itemCaption, const std::optional<Line>& hintText) {
  Line out = ascii(std::to_string(index));
  const Line caption = trimmed(itemCaption);
  if (!caption.empty())
    out += U" (" + caption + U")";
  else if (hintText)
    out += U" (" + *hintText + U")";
  return out;
}

std::vector<Line> hintNames(const Line& hint, int index) {
  std::vector<Line> alternatives(1);
  for (char32_t c : hint) {
    if (c == U',')
      alternatives.emplace_back();
    else
      alternatives.back() += c;
  }
  const Line& alt =
      index >= 0 && std::size_t(index) < alternatives.size() ? alternatives[std::size_t(index)] : alternatives[0];
  std::vector<Line> names;
  std::size_t i = 0;
  while (i < alt.size() && alt[i] == U' ') ++i;  // blanks after the ','
  Line name;
  for (; i < alt.size(); ++i) {
    const char32_t c = alt[i];
    if (c == U'+') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else if (c == U' ') {
      break;
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

Line itemLine(const Line& name, const Line& value, const std::optional<Line>& note) {
  Line out = name + U": " + value;
  if (note) out += U"  { " + *note + U" }";
  return out;
}

bool isItemLine(const Line& line) {
  if (line.empty() || !isLetter(line[0])) return false;
  std::size_t i = 1;
  while (i < line.size() && (isLetter(line[i]) || isDigit(line[i]))) ++i;
  while (i < line.size() && line[i] == U' ') ++i;
  return i == line.size() || line[i] == U':';
}

Lines framed(const Line& text) { return {dashesFor(text), text, dashesFor(text)}; }

Lines tabSheetHeading(const Line& sheetName) {
  Line title = U"TabSheet: " + sheetName;
  while (title.size() < kTitleWidth) title = U" " + title + U" ";
  Lines out{Line()};
  for (Line& l : framed(U"{" + title + U"}")) out.push_back(std::move(l));
  out.emplace_back();
  return out;
}

Lines componentsHeader(const std::vector<Line>& copyNames) {
  std::vector<Line> names;
  std::size_t longest = 0;
  for (const Line& n : copyNames) {
    const std::size_t cut = n.rfind(U'_');
    names.push_back(cut == Line::npos ? n : n.substr(0, cut));
    longest = std::max(longest, names.back().size());
  }
  Lines out;
  Line line = kComponents;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (line.size() + longest + 3 >= kPageWidth) {
      out.push_back(line + U"}");
      line = U"{" + Line(kHeaderIndent, U' ');
    }
    line += names[i];
    if (i + 1 < names.size()) line += U", ";
  }
  out.push_back(line + U"}");
  std::size_t start = 0;
  while (auto next = alignColumn(out, 0, out.size(), start, U',', Pad::BeforeChar)) start = *next;
  alignColumn(out, 0, out.size(), 0, U'}', Pad::BeforeChar);
  return out;
}

Line rowLine(const Line& caption, const std::vector<Line>& values) {
  Line out = U" " + trimmed(caption) + U": [ ";
  for (const Line& v : values)
    if (!v.empty()) out += v + U";  ";
  return out + U"]";
}

void alignRowLines(Lines& lines, std::size_t first, std::size_t last) {
  last = std::min(last, lines.size());
  if (first >= last) return;
  const auto lastLine = [&]() -> const Line& { return lines[last - 1]; };
  std::size_t start = 1;
  const std::size_t numberEnd = lastLine().find_first_of(U":.- ", 1);
  if (numberEnd != Line::npos)
    start = alignColumn(lines, first, last, 1, lastLine()[numberEnd], Pad::AtStart).value_or(1);
  const auto colon = alignColumn(lines, first, last, start, U':', Pad::BeforeChar);
  if (!colon) return;
  std::size_t value = *colon + 3;  // past " [ "
  for (;;) {
    const Line& l = lastLine();
    const std::size_t end = l.find(U';', value);
    if (end == Line::npos) return;
    const Line v = l.substr(value, end - value);
    std::optional<std::size_t> next;
    if (v.find(U')') != Line::npos) {
      alignColumn(lines, first, last, value, U'(', Pad::BeforeChar);
      next = alignColumn(lines, first, last, value, U';', Pad::BeforeChar);
    } else {
      next = alignColumn(lines, first, last, value, U';', isNumber(v) ? Pad::AtStart : Pad::BeforeChar);
    }
    if (!next) return;
    value = *next + 2;  // past the two blanks after ';'
  }
}

Lines arrayTable(const Line& arrayName, const std::vector<Line>& copyNames, const std::vector<ArrayRow>& rows) {
  Lines out = framed(U"{ VPanelArray: " + arrayName + U" }");
  for (Line& l : componentsHeader(copyNames)) out.push_back(std::move(l));
  const std::size_t first = out.size();
  for (const ArrayRow& r : rows) out.push_back(rowLine(r.caption, r.values));
  alignRowLines(out, first, out.size());
  for (Line& l : framed(U"{ End of VPanelArray }")) out.push_back(std::move(l));
  return out;
}

void alignItemGroups(Lines& lines) {
  std::size_t i = 0;
  while (i < lines.size()) {
    if (!isItemLine(lines[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < lines.size() && isItemLine(lines[end])) ++end;
    if (end - i >= 2) {
      std::size_t start = 0;
      for (char32_t c : {U':', U'{', U'}'})
        if (auto next = alignColumn(lines, i, end, start, c, Pad::BeforeChar)) start = *next;
    }
    i = end;
  }
}

void wrapLongItemLines(Lines& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!isItemLine(lines[i]) || lines[i].size() <= kPageWidth) continue;
    // The line and then each continuation it grows, while they are too long.
    while (i < lines.size() && lines[i].size() > kPageWidth && wrapOnce(lines, i)) ++i;
  }
}

void finishListing(Lines& lines) {
  alignItemGroups(lines);
  wrapLongItemLines(lines);
}

}  // namespace corvanta::listing
