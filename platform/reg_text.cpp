// The ".reg" text of the settings store: reading every encoding the registry editors know,
// writing the one they export (UTF-16 with a byte-order mark), which they import unchanged.
#include "platform/reg_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/cp1252.h"

namespace krelmo::platform {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::array<std::string_view, 5> kHives = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER",
                                                    "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                                    "HKEY_CURRENT_CONFIG"};
constexpr std::uint32_t kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4,
                        kRegMultiSz = 7;
// Larger files are not ours: reading them whole would only waste memory.
constexpr std::size_t kMaxFileBytes = 4u << 20;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::optional<std::u32string> DecodeFile(std::string_view bytes) {
  std::u32string text;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    if (bytes.size() % 2 != 0) return std::nullopt;
    for (std::size_t i = 2; i < bytes.size(); i += 2) {
      char32_t unit = static_cast<std::uint8_t>(bytes[i]) |
                      static_cast<char32_t>(static_cast<std::uint8_t>(bytes[i + 1])) << 8;
      if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
        const char32_t low = static_cast<std::uint8_t>(bytes[i + 2]) |
                             static_cast<char32_t>(static_cast<std::uint8_t>(bytes[i + 3])) << 8;
        if (low >= 0xDC00 && low < 0xE000) {
          unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
          i += 2;
        }
      }
      text.push_back(unit);
    }
    return text;
  }
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (DecodeUtf8(bytes, text)) return text;
  return Cp1252ToUnicodeText(bytes);
}

std::u32string_view Trim(std::u32string_view s) {
  const auto blank = [](char32_t c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool StartsWith(std::u32string_view s, std::string_view ascii) {
  if (s.size() < ascii.size()) return false;
  for (std::size_t i = 0; i < ascii.size(); ++i) {
    if (s[i] > 0x7F || Lower(static_cast<char>(s[i])) != Lower(ascii[i])) return false;
  }
  return true;
}

int HexDigit(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// 1 to `maxDigits` hex digits, the whole of `s`.
std::optional<std::uint32_t> ParseHex(std::u32string_view s, std::size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  std::uint32_t value = 0;
  for (const char32_t c : s) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

// A quoted name or string at the start of `s` (which starts with the quote). The escapes are
// \\ and \", and \r, \n and \0 as Wine's registry editor writes them. Moves `s` past the
// closing quote.
std::optional<std::u32string> ParseQuoted(std::u32string_view& s) {
  std::u32string out;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '"') {
      s.remove_prefix(i + 1);
      return out;
    }
    if (s[i] != '\\') {
      out.push_back(s[i]);
      continue;
    }
    if (++i >= s.size()) return std::nullopt;
    switch (s[i]) {
      case '\\':
      case '"':
        out.push_back(s[i]);
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 'n':
        out.push_back('\n');
        break;
      case '0':
        out.push_back(0);
        break;
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

// A key path: a known hive, then non-empty names, each separated by one backslash. The
// hive is spelled as the registry spells it.
std::optional<std::string> ParseKeyPath(std::u32string_view s) {
  std::string path = UnicodeToCp1252Text(s);
  const std::size_t end = path.find('\\');
  const std::string_view hive = std::string_view(path).substr(0, end);
  const auto known = std::find_if(kHives.begin(), kHives.end(),
                                  [&](std::string_view h) { return NoCaseEqual(h, hive); });
  if (known == kHives.end()) return std::nullopt;
  path.replace(0, hive.size(), *known);
  if (end != std::string::npos) {
    const std::string_view rest = std::string_view(path).substr(end);
    if (rest.back() == '\\' || rest.find("\\\\") != std::string_view::npos) return std::nullopt;
  }
  return path;
}

bool IsStringType(std::uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

class Parser {
 public:
  explicit Parser(const std::u32string& text) {
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find(U'\n', start);
      if (end == std::u32string::npos) end = text.size();
      lines_.push_back(std::u32string_view(text).substr(start, end - start));
      start = end + 1;
    }
  }

  std::optional<RegTree> Run(std::string* error) {
    if (!ParseAll()) {
      if (error) *error = "line " + std::to_string(line_ + 1) + ": " + why_;
      return std::nullopt;
    }
    return std::move(tree_);
  }

 private:
  bool Fail(const char* why) {
    why_ = why;
    return false;
  }

  bool ParseAll() {
    while (line_ < lines_.size() && Trim(lines_[line_]).empty()) ++line_;
    if (line_ == lines_.size()) return Fail("empty file");
    const std::u32string_view header = Trim(lines_[line_]);
    if (header == ToUtf32(kHeader5)) {
      unicodeHex_ = true;
    } else if (header != ToUtf32(kHeader4)) {
      return Fail("not a registry file");
    }
    for (++line_; line_ < lines_.size(); ++line_) {
      const std::u32string_view line = Trim(lines_[line_]);
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        if (!ParseKeyLine(line)) return false;
      } else if (!ParseValueLine(line)) {
        return false;
      }
    }
    return true;
  }

  static std::u32string ToUtf32(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

  bool ParseKeyLine(std::u32string_view line) {
    if (line.back() != ']') return Fail("a key line without its closing bracket");
    std::u32string_view inner = line.substr(1, line.size() - 2);
    const bool remove = !inner.empty() && inner.front() == '-';
    if (remove) inner.remove_prefix(1);
    const auto path = ParseKeyPath(inner);
    if (!path) return Fail("a key outside the registry's hives, or with an empty name");
    if (remove) {
      // The key goes, with every key below it.
      const std::string prefix = *path + "\\";
      tree_.erase(*path);
      for (auto it = tree_.lower_bound(prefix);
           it != tree_.end() &&
           NoCaseEqual(std::string_view(it->first).substr(0, prefix.size()), prefix);) {
        it = tree_.erase(it);
      }
      key_ = nullptr;
    } else {
      key_ = &tree_[*path];
    }
    inDeletedKey_ = remove;
    return true;
  }

  bool ParseValueLine(std::u32string_view line) {
    if (inDeletedKey_) return true;  // values of a key being deleted mean nothing
    if (!key_) return Fail("a value before any key");
    std::u32string name;
    if (line.front() == '@') {
      line.remove_prefix(1);
    } else if (line.front() == '"') {
      auto quoted = ParseQuoted(line);
      if (!quoted) return Fail("a value name without its closing quote");
      name = std::move(*quoted);
    } else {
      return Fail("neither a key nor a value");
    }
    line = Trim(line);
    if (line.empty() || line.front() != '=') return Fail("a value without '='");
    line = Trim(line.substr(1));
    const std::string valueName = UnicodeToCp1252Text(name);

    if (line == U"-") {
      key_->erase(valueName);
      return true;
    }
    RegValue value;
    if (!line.empty() && line.front() == '"') {
      auto quoted = ParseQuoted(line);
      if (!quoted || !Trim(line).empty()) return Fail("a string without its closing quote");
      value.type = kRegSz;
      const std::string bytes = UnicodeToCp1252Text(*quoted);
      value.data.assign(bytes.begin(), bytes.end());
      value.data.push_back(0);
    } else if (StartsWith(line, "dword:")) {
      const auto number = ParseHex(Trim(line.substr(6)), 8);
      if (!number) return Fail("a dword that is not 1 to 8 hex digits");
      value.type = kRegDword;
      for (int shift = 0; shift < 32; shift += 8) {
        value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
      }
    } else if (StartsWith(line, "hex")) {
      if (!ParseHexValue(line.substr(3), value)) return false;
    } else {
      return Fail("a value of an unknown form");
    }
    (*key_)[valueName] = std::move(value);
    return true;
  }

  // "hex:..." or "hex(type):...", a list of bytes that may go on over lines ending in '\'.
  bool ParseHexValue(std::u32string_view rest, RegValue& value) {
    value.type = kRegBinary;
    if (!rest.empty() && rest.front() == '(') {
      const std::size_t close = rest.find(')');
      if (close == std::u32string_view::npos) return Fail("hex( without ')'");
      const auto type = ParseHex(rest.substr(1, close - 1), 8);
      if (!type) return Fail("a value type that is not hex");
      value.type = *type;
      rest.remove_prefix(close + 1);
    }
    if (rest.empty() || rest.front() != ':') return Fail("hex data without ':'");
    std::u32string list(rest.substr(1));
    while (!list.empty() && list.back() == '\\') {
      list.pop_back();
      if (++line_ >= lines_.size()) return Fail("hex data continued past the end");
      list += Trim(lines_[line_]);
    }
    std::vector<std::uint8_t> bytes;
    const std::u32string_view all = Trim(list);
    for (std::size_t start = 0; !all.empty() && start <= all.size();) {
      std::size_t comma = all.find(',', start);
      if (comma == std::u32string_view::npos) comma = all.size();
      const auto byte = ParseHex(Trim(all.substr(start, comma - start)), 2);
      if (!byte) return Fail("hex data that is not a list of bytes");
      bytes.push_back(static_cast<std::uint8_t>(*byte));
      start = comma + 1;
    }
    if (unicodeHex_ && IsStringType(value.type)) {
      // The registry editor keeps strings in UTF-16 here; the store keeps single bytes.
      if (bytes.size() % 2 != 0) return Fail("a UTF-16 string of an odd number of bytes");
      std::u32string units;
      for (std::size_t i = 0; i < bytes.size(); i += 2) {
        units.push_back(static_cast<char32_t>(bytes[i] | bytes[i + 1] << 8));
      }
      const std::string text = UnicodeToCp1252Text(units);
      bytes.assign(text.begin(), text.end());
    }
    value.data = std::move(bytes);
    return true;
  }

  std::vector<std::u32string_view> lines_;
  std::size_t line_ = 0;
  bool unicodeHex_ = false;
  bool inDeletedKey_ = false;
  RegValues* key_ = nullptr;
  RegTree tree_;
  const char* why_ = "";
};

// The file's text as the registry editor exports it: UTF-16, little-endian, after a byte-order
// mark, with CR LF line ends. Every character of Windows-1252 is one unit.
class Writer {
 public:
  void Ascii(std::string_view text) { units_.insert(units_.end(), text.begin(), text.end()); }
  void Text(std::string_view bytes) {
    for (const char b : bytes) {
      units_.push_back(static_cast<char16_t>(Cp1252ToUnicode(static_cast<std::uint8_t>(b))));
    }
  }
  // Quoted with the escapes the registry editors read: \\ and \" (and, as Wine's writes them,
  // \r, \n and \0, which only a value name can need: a string holding them is written in hex).
  void Quoted(std::string_view bytes) {
    Ascii("\"");
    for (const char b : bytes) {
      if (const char* escape = Escape(b)) {
        Ascii(escape);
      } else {
        Text(std::string_view(&b, 1));
      }
    }
    Ascii("\"");
  }
  // Comma-separated bytes, broken after the comma that reaches column 77 and continued on
  // the next line after two spaces, as the registry editor breaks them.
  void Hex(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      units_.push_back(static_cast<char16_t>(kDigits[bytes[i] >> 4]));
      units_.push_back(static_cast<char16_t>(kDigits[bytes[i] & 15]));
      if (i + 1 == bytes.size()) break;
      units_.push_back(u',');
      if (units_.size() - lineStart_ >= kHexColumns) {
        Ascii("\\");
        NewLine();
        Ascii("  ");
      }
    }
  }
  void NewLine() {
    Ascii("\r\n");
    lineStart_ = units_.size();
  }
  std::string Bytes() const {
    std::string out = "\xFF\xFE";
    for (const char16_t unit : units_) {
      out.push_back(static_cast<char>(unit & 0xFF));
      out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
  }

 private:
  static constexpr std::size_t kHexColumns = 77;

  static const char* Escape(char b) {
    switch (b) {
      case '\\':
        return "\\\\";
      case '"':
        return "\\\"";
      case '\r':
        return "\\r";
      case '\n':
        return "\\n";
      case '\0':
        return "\\0";
      default:
        return nullptr;
    }
  }

  std::u16string units_;
  std::size_t lineStart_ = 0;
};

// A string value the quoted form carries exactly: one terminating zero and no line breaks.
bool FitsQuoted(const RegValue& value) {
  if (value.type != kRegSz || value.data.empty() || value.data.back() != 0) return false;
  return std::none_of(value.data.begin(), value.data.end() - 1,
                      [](std::uint8_t b) { return b == 0 || b == '\n' || b == '\r'; });
}

void FormatValue(const RegValue& value, Writer& out) {
  if (FitsQuoted(value)) {
    out.Quoted(
        std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size() - 1));
    return;
  }
  char head[24];
  if (value.type == kRegDword && value.data.size() == 4) {
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = number << 8 | value.data[static_cast<std::size_t>(i)];
    std::snprintf(head, sizeof head, "dword:%08x", number);
    out.Ascii(head);
    return;
  }
  if (value.type == kRegBinary) {
    out.Ascii("hex:");
    out.Hex(value.data);
    return;
  }
  std::snprintf(head, sizeof head, "hex(%x):", value.type);
  out.Ascii(head);
  if (!IsStringType(value.type)) {
    out.Hex(value.data);
    return;
  }
  std::vector<std::uint8_t> units;
  for (const std::uint8_t b : value.data) {
    const char32_t c = Cp1252ToUnicode(b);
    units.push_back(static_cast<std::uint8_t>(c & 0xFF));
    units.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  out.Hex(units);
}

// Names in the order a person reads them: "HSName2" before "HSName10".
bool NaturalLess(std::string_view a, std::string_view b) {
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && digit(a[ei])) ++ei;
      while (ej < b.size() && digit(b[ej])) ++ej;
      const std::string_view x = a.substr(i, ei - i), y = b.substr(j, ej - j);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = ei, j = ej;
      continue;
    }
    if (Lower(a[i]) != Lower(b[j])) return Lower(a[i]) < Lower(b[j]);
    ++i, ++j;
  }
  return a.size() - i < b.size() - j;
}

}  // namespace

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

bool NoCaseEqual(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<RegTree> ParseRegText(std::string_view bytes, std::string* error) {
  if (bytes.size() > kMaxFileBytes) {
    if (error) *error = "larger than any settings file";
    return std::nullopt;
  }
  const auto text = DecodeFile(bytes);
  if (!text) {
    if (error) *error = "UTF-16 text of an odd number of bytes";
    return std::nullopt;
  }
  return Parser(*text).Run(error);
}

std::string FormatRegText(const RegTree& tree) {
  Writer out;
  out.Ascii(kHeader5);
  out.NewLine();
  for (const auto& [path, values] : tree) {
    out.NewLine();
    out.Ascii("[");
    out.Text(path);
    out.Ascii("]");
    out.NewLine();
    std::vector<const RegValues::value_type*> ordered;
    for (const auto& entry : values) ordered.push_back(&entry);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto* x, const auto* y) { return NaturalLess(x->first, y->first); });
    for (const auto* entry : ordered) {
      if (entry->first.empty()) {
        out.Ascii("@");
      } else {
        out.Quoted(entry->first);
      }
      out.Ascii("=");
      FormatValue(entry->second, out);
      out.NewLine();
    }
  }
  out.NewLine();  // the registry editor ends its files with an empty line
  return out.Bytes();
}

}  // namespace krelmo::platform
