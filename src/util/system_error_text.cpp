#include "util/system_error_text.h"

#include <cerrno>
#include <cstring>

namespace vesk {

std::string SystemErrorText(int err) {
  switch (err) {
    case 0:
      return "ошибки нет";
    case ENOENT:
      return "нет такого файла или каталога";
    case EACCES:
      return "нет прав доступа";
    case EPERM:
      return "операция не разрешена";
    case EISDIR:
      return "это каталог";
    case ENOTDIR:
      return "часть пути не является каталогом";
    case ENOSPC:
      return "на диске нет места";
    case EDQUOT:
      return "превышена дисковая квота";
    case EROFS:
      return "файловая система только для чтения";
    case EFBIG:
      return "файл слишком велик";
    case EEXIST:
      return "файл уже существует";
    case ENAMETOOLONG:
      return "слишком длинное имя файла";
    case ELOOP:
      return "слишком много символических ссылок";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case EIO:
      return "ошибка ввода-вывода";
    case ETXTBSY:
      return "файл занят";
    case EBUSY:
      return "устройство или ресурс заняты";
    case ENXIO:
      return "нет такого устройства или адреса";
    case ENODEV:
      return "нет такого устройства";
    case EINVAL:
      return "недопустимый аргумент";
    case ENOMEM:
      return "недостаточно памяти";
    case EXDEV:
      return "файлы на разных файловых системах";
    case EPIPE:
      return "канал закрыт читающей стороной";
    case EAGAIN:
      return "ресурс временно недоступен";
    case EINTR:
      return "операция прервана";
    case EBADF:
      return "неверный дескриптор файла";
    case ENOTEMPTY:
      return "каталог не пуст";
    default:
      return "ошибка " + std::to_string(err) + ": " + std::strerror(err);
  }
}

}  // namespace vesk
