#include "util/system_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <regex>

using namespace vesk;

TEST(SystemErrorText, TheErrorsAFileMeetsAreSaidInRussian) {
  const std::regex latin("[A-Za-z]");
  for (int err : {ENOENT, EACCES, EPERM, EISDIR, ENOTDIR, ENOSPC, EDQUOT, EROFS, EFBIG, EEXIST, ENAMETOOLONG, ELOOP,
                  EMFILE, ENFILE, EIO, ETXTBSY, EBUSY, ENXIO, ENODEV, EINVAL, ENOMEM, EXDEV, EPIPE, EAGAIN, EINTR,
                  EBADF, ENOTEMPTY}) {
    const std::string text = SystemErrorText(err);
    EXPECT_FALSE(text.empty()) << err;
    EXPECT_FALSE(std::regex_search(text, latin)) << err << ": " << text;
  }
  EXPECT_EQ(SystemErrorText(ENOENT), "нет такого файла или каталога");
  EXPECT_EQ(SystemErrorText(ENOSPC), "на диске нет места");
  // A rare one keeps the system's words, with its number.
  EXPECT_EQ(SystemErrorText(EPROTO).rfind("ошибка " + std::to_string(EPROTO) + ": ", 0), 0u);
}
