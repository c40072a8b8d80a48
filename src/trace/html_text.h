// Pieces of the traces' HTML export.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vesk {

// text with &, < and > written as entities, so a comment or a typed address
// cannot put markup into the exported page.
void AppendHtmlEscaped(std::string& out, std::string_view text);

// "<tr><td>" + each cell escaped + "</td>...</tr>".
template <class Cells>
void AppendHtmlCells(std::string& out, const Cells& cells) {
  out += "<tr>";
  for (const std::string& cell : cells) {
    out += "<td>";
    AppendHtmlEscaped(out, cell);
    out += "</td>";
  }
  out += "</tr>";
}

// Adds 1 to a 32-bit counter without overflowing (it wraps).
inline std::int32_t NextCount(std::int32_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) + 1u);
}

}  // namespace vesk
