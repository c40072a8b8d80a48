// cfg.ini: the settings file, read and written by our own INI code.
//
// The file is "[Section]" lines, each followed by "key=value" lines, in
// windows-1251 with CR LF line ends. Section and key names compare without
// regard to ASCII case; blanks around names and values are not part of them;
// lines starting with ';' and anything else that is neither a section nor a
// key line are kept but mean nothing. When a section or a key appears twice,
// the first key found wins, for reading and for writing alike.
//
// A file that cannot be read gives every key its default. A file that starts
// with the UTF-8 byte-order mark is read as UTF-8 (util/text_file.h) and
// rewritten in windows-1251 by the next WriteIni. Both read the file line by
// line and look at no more than the first 64 KiB of a line, so a huge file
// costs no memory.
#pragma once

#include <cstddef>
#include <string>

namespace vesk {

// At most this many characters (bytes of the windows-1251 file) of a value are read.
constexpr std::size_t kIniValueLimit = 254;

// The value stored under section and key, cut to kIniValueLimit characters,
// or defaultValue when the file, the section or the key is missing.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue);

// Stores value under section and key, each CR and LF in value written as one
// space. Creates the file, the section or the key as needed and keeps every
// other line of the file byte for byte; the file is replaced atomically.
// Returns false, with the reason in *error when given and the file untouched,
// when the file cannot be read or saved, when a name is empty or would break
// the file's structure (a section name with ']', a key with '=' or starting
// with '[' or ';'), or when a text holds a character windows-1251 cannot store.
bool WriteIni(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
              std::string* error = nullptr);

// The settings file in the program's directory: programDir + "/" + "cfg.ini",
// without a second separator when programDir already ends with '/' or '\'
// ("/" gives "/cfg.ini", "C:\" gives "C:\cfg.ini"). An empty programDir gives
// "cfg.ini" in the current directory.
std::string SettingsPath(const std::string& programDir);

}  // namespace vesk
