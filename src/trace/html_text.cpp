#include "trace/html_text.h"

namespace vesk {

void AppendHtmlEscaped(std::string& out, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* entity = nullptr;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      default: continue;
    }
    out.append(text.substr(start, i - start));
    out.append(entity);
    start = i + 1;
  }
  out.append(text.substr(start));
}

}  // namespace vesk
