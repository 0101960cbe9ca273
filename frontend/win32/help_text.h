// The game's help pages (resources/help/krelmo.html) as rich text for the system's rich edit
// control: headings, paragraphs, lists, bold and italic, tables with their rules, and the
// contents' links with the headings they lead to.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace krelmo::win32 {

struct HelpText {
  std::string rtf;
  std::string title;  // the page's title, in the game's text
  // A link, by the words shown, and the words of the heading it leads to (the text of the
  // anchor it names), in document order; both as UTF-16.
  struct Link {
    std::wstring text;
    std::wstring target;
  };
  std::vector<Link> links;
};

// The pages, UTF-8 HTML of the few elements the help uses; anything else is left out, its
// text kept.
HelpText HelpFromHtml(std::string_view html);

}  // namespace krelmo::win32
