#include "widgets/comment_check.h"

#include "util/cp1251.h"

namespace vesk {

std::string CommentProblem(std::string_view utf8) {
  if (utf8.find_first_of("\r\n") != std::string_view::npos) return "Комментарий не может содержать перевод строки";
  if (!IsCp1251Representable(utf8))
    return "Комментарий содержит символ, которого нет в кодировке windows-1251 (файлы дампа его не сохранят)";
  return {};
}

}  // namespace vesk
