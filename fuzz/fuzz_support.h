// Helpers the fuzz targets share: a private scratch folder (in memory when
// /dev/shm exists, so the readers' and writers' fsync costs nothing) and a
// check that aborts with a message, so libFuzzer records the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vesk::fuzz {

// A path in this process's scratch folder; the folder goes at exit.
std::string ScratchPath(const std::string& name);

// Replaces the file's contents with data (no fsync: the fuzzer owns it).
void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// The file's bytes, or "" when it does not exist.
std::string ReadScratchFile(const std::string& path);

// Aborts, printing what broke, when ok is false.
void Require(bool ok, std::string_view what);

}  // namespace vesk::fuzz
