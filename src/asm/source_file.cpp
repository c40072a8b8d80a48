#include "asm/source_file.h"

#include "util/cp1251.h"
#include "util/text_file.h"

namespace vesk {

SourceText SourceTextFromBytes(std::string bytes) {
  SourceText s;
  s.ok = true;
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
  if (IsValidUtf8(bytes)) {
    s.text = std::move(bytes);
  } else {
    s.text = Cp1251ToUtf8(bytes);
    s.wasCp1251 = true;
  }
  return s;
}

SourceText ReadSourceFile(const std::string& path) {
  FileBytes file = ReadFileBytes(path);
  if (!file.ok) {
    SourceText s;
    s.error = file.error;
    return s;
  }
  return SourceTextFromBytes(std::move(file.bytes));
}

std::string SaveSourceFile(const std::string& path, std::string_view text) {
  return SaveTextFileAtomically(path, text);
}

bool HasExtension(std::string_view path, std::string_view ext) {
  if (path.size() < ext.size()) return false;
  const std::string_view tail = path.substr(path.size() - ext.size());
  for (std::size_t i = 0; i < ext.size(); ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

}  // namespace vesk
