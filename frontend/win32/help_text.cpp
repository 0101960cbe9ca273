// A small HTML reader for the help's own pages, writing RTF as it goes.
#include "frontend/win32/help_text.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "platform/cp1252.h"

namespace krelmo::win32 {

namespace {

constexpr int kTableWidthTwips = 8400;
constexpr const char* kRtfStart =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl{\\f0\\fswiss Segoe UI;}}"
    "{\\colortbl;\\red0\\green0\\blue0;}\\viewkind4\\pard\\sa120\\f0\\fs20 ";

struct Tag {
  std::string name;
  bool closing = false;
  std::map<std::string, std::string> attributes;
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

Tag ParseTag(std::string_view inside) {
  Tag tag;
  std::size_t at = 0;
  if (!inside.empty() && inside[0] == '/') {
    tag.closing = true;
    at = 1;
  }
  const auto skipSpace = [&] {
    while (at < inside.size() && std::isspace(static_cast<unsigned char>(inside[at]))) ++at;
  };
  const auto word = [&] {
    const std::size_t start = at;
    while (at < inside.size() && !std::isspace(static_cast<unsigned char>(inside[at])) &&
           inside[at] != '=' && inside[at] != '/') {
      ++at;
    }
    return Lower(std::string(inside.substr(start, at - start)));
  };
  tag.name = word();
  for (;;) {
    skipSpace();
    if (at >= inside.size() || inside[at] == '/') break;
    const std::string name = word();
    if (name.empty()) {
      ++at;
      continue;
    }
    skipSpace();
    std::string value;
    if (at < inside.size() && inside[at] == '=') {
      ++at;
      skipSpace();
      if (at < inside.size() && (inside[at] == '"' || inside[at] == '\'')) {
        const char quote = inside[at++];
        const std::size_t end = std::min(inside.find(quote, at), inside.size());
        value = std::string(inside.substr(at, end - at));
        at = end + 1;
      } else {
        value = word();
      }
    }
    tag.attributes[name] = value;
  }
  return tag;
}

// The characters of an entity's name, or of "#NNN"; none for an unknown one.
char32_t Entity(std::string_view name) {
  if (name == "lt") return U'<';
  if (name == "gt") return U'>';
  if (name == "amp") return U'&';
  if (name == "quot") return U'"';
  if (name == "apos") return U'\'';
  if (name == "nbsp") return 0xA0;
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    return static_cast<char32_t>(
        std::strtoul(std::string(name.substr(hex ? 2 : 1)).c_str(), nullptr, hex ? 16 : 10));
  }
  return 0;
}

class Writer {
 public:
  explicit Writer(HelpText& out) : out_(out) { out_.rtf = kRtfStart; }

  void Text(std::u32string_view text) {
    for (const char32_t c : text) {
      const bool space = c == U' ' || c == U'\n' || c == U'\r' || c == U'\t';
      if (space) {
        pendingSpace_ = !lineStart_;
        continue;
      }
      if (pendingSpace_) Character(U' ');
      pendingSpace_ = false;
      lineStart_ = false;
      Character(c);
    }
  }

  // A control word within the text: a space pending before it still comes after it.
  void Raw(std::string_view control) { out_.rtf += control; }
  // Begins or ends a paragraph or a cell.
  void Block(std::string_view control) {
    out_.rtf += control;
    pendingSpace_ = false;
    lineStart_ = true;
  }

  // Keeps the text from here on as well; `silent`, only keeps it.
  void StartCapture(bool silent = false) {
    capture_.clear();
    capturing_ = true;
    silent_ = silent;
  }
  std::wstring EndCapture() {
    capturing_ = false;
    silent_ = false;
    return capture_;
  }

  std::string& Rtf() { return out_.rtf; }

 private:
  void Character(char32_t c) {
    if (capturing_ && c < 0x10000) capture_ += static_cast<wchar_t>(c);
    if (silent_) return;
    if (c == U'\\' || c == U'{' || c == U'}') {
      out_.rtf += '\\';
      out_.rtf += static_cast<char>(c);
    } else if (c < 0x80) {
      out_.rtf += static_cast<char>(c);
    } else if (c < 0x10000) {
      // Signed 16-bit, as RTF counts them, with '?' for readers of no Unicode.
      out_.rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
    }
  }

  HelpText& out_;
  bool lineStart_ = true;
  bool pendingSpace_ = false;
  bool capturing_ = false;
  bool silent_ = false;
  std::wstring capture_;
};

}  // namespace

HelpText HelpFromHtml(std::string_view html) {
  HelpText help;
  Writer out(help);
  std::map<std::string, std::wstring> anchors;
  std::vector<std::string> linkTargets;
  std::string capturingFor;  // "href:NAME", "name:NAME" or "title"
  bool inHead = false;
  // The table row under way: where it and its cell begin in the RTF, and its cells' RTF.
  bool inRow = false;
  std::size_t rowStart = 0, cellStart = 0;
  std::vector<std::string> cells;

  std::size_t at = 0;
  while (at < html.size()) {
    if (html.compare(at, 4, "<!--") == 0) {
      const std::size_t end = html.find("-->", at + 4);
      at = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    if (html[at] == '<') {
      const std::size_t end = html.find('>', at);
      if (end == std::string_view::npos) break;
      const Tag tag = ParseTag(html.substr(at + 1, end - at - 1));
      at = end + 1;
      const std::string& n = tag.name;
      if (n == "head") {
        inHead = !tag.closing;
      } else if (n == "title") {
        if (!tag.closing) {
          out.StartCapture(/*silent=*/true);
          capturingFor = "title";
        } else if (capturingFor == "title") {
          std::u32string title;
          for (const wchar_t c : out.EndCapture()) title += static_cast<char32_t>(c);
          help.title = platform::UnicodeToCp1252Text(title);
          capturingFor.clear();
        }
      } else if (n == "h1" || n == "h2" || n == "h3") {
        static const std::map<std::string, std::string> kStyles = {
            {"h1", "\\pard\\sb120\\sa160\\b\\fs32 "},
            {"h2", "\\pard\\sb240\\sa100\\b\\fs26 "},
            {"h3", "\\pard\\sb160\\sa60\\b\\fs22 "}};
        if (!tag.closing) {
          out.Block(kStyles.at(n));
        } else {
          out.Block("\\b0\\fs20\\par\n");
        }
      } else if (n == "p") {
        out.Block(tag.closing ? "\\par\n" : "\\pard\\sa120 ");
      } else if (n == "li") {
        if (!tag.closing) {
          out.Block("\\pard\\fi-240\\li480\\tx480\\sa60 \\bullet\\tab ");
        } else {
          out.Block("\\par\n");
        }
      } else if (n == "ul") {
        if (tag.closing) out.Block("\\pard\\sa120 ");
      } else if (n == "b" || n == "strong") {
        out.Raw(tag.closing ? "\\b0 " : "\\b ");
      } else if (n == "i" || n == "em") {
        out.Raw(tag.closing ? "\\i0 " : "\\i ");
      } else if (n == "br") {
        out.Block("\\line ");
      } else if (n == "a") {
        if (!tag.closing) {
          if (const auto href = tag.attributes.find("href");
              href != tag.attributes.end() && !href->second.empty() && href->second[0] == '#') {
            capturingFor = "href:" + href->second.substr(1);
            out.StartCapture();
          } else if (const auto name = tag.attributes.find("name"); name != tag.attributes.end()) {
            capturingFor = "name:" + name->second;
            out.StartCapture();
          }
        } else if (capturingFor.rfind("href:", 0) == 0) {
          help.links.push_back({out.EndCapture(), {}});
          linkTargets.push_back(capturingFor.substr(5));
          capturingFor.clear();
        } else if (capturingFor.rfind("name:", 0) == 0) {
          anchors[capturingFor.substr(5)] = out.EndCapture();
          capturingFor.clear();
        }
      } else if (n == "tr") {
        if (!tag.closing) {
          inRow = true;
          cells.clear();
          rowStart = out.Rtf().size();
        } else if (inRow) {
          // RTF wants a row's layout before its cells: now that they are known.
          std::string row = "\\trowd\\trgaph100\\trleft100";
          const int count = std::max<int>(1, static_cast<int>(cells.size()));
          for (int i = 1; i <= count; ++i) {
            row +=
                "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10"
                "\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx" +
                std::to_string(100 + kTableWidthTwips * i / count);
          }
          for (const std::string& cell : cells) row += "\\pard\\intbl " + cell + "\\cell ";
          out.Rtf().resize(rowStart);
          out.Block(row + "\\row\n");
          inRow = false;
        }
      } else if (n == "td" || n == "th") {
        // A cell's text is written as any other, then taken out into the row's cells.
        if (!tag.closing && inRow) {
          out.Block("");
          cellStart = out.Rtf().size();
        } else if (tag.closing && inRow) {
          const std::string text = out.Rtf().substr(cellStart);
          out.Rtf().resize(cellStart);
          cells.push_back(n == "th" ? "\\b " + text + "\\b0 " : text);
        }
      } else if (n == "table") {
        if (tag.closing) out.Block("\\pard\\sa120\\par\n");
      }
      continue;
    }
    // Text up to the next tag, its entities decoded.
    const std::size_t end = std::min(html.find('<', at), html.size());
    std::string_view run = html.substr(at, end - at);
    at = end;
    if (inHead && capturingFor != "title") continue;
    std::u32string text;
    std::string utf8;
    for (std::size_t i = 0; i < run.size(); ++i) {
      if (run[i] == '&') {
        const std::size_t semi = run.find(';', i);
        if (semi != std::string_view::npos && semi - i <= 8) {
          if (const char32_t c = Entity(run.substr(i + 1, semi - i - 1)); c != 0) {
            std::u32string decoded;
            platform::DecodeUtf8(utf8, decoded);
            text += decoded;
            utf8.clear();
            text += c;
            i = semi;
            continue;
          }
        }
      }
      utf8 += run[i];
    }
    std::u32string decoded;
    platform::DecodeUtf8(utf8, decoded);
    text += decoded;
    out.Text(text);
  }
  out.Raw("}");
  for (std::size_t i = 0; i < help.links.size(); ++i) {
    const auto anchor = anchors.find(linkTargets[i]);
    if (anchor != anchors.end()) help.links[i].target = anchor->second;
  }
  return help;
}

}  // namespace krelmo::win32
