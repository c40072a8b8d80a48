// The recorded cases and their stored records.
//
// The store is one file: a header line, then per case a line
// "case N RAW PACKED" followed by PACKED bytes of zlib-compressed record text.
#pragma once

#include <map>
#include <string>

namespace vesk::golden {

constexpr int kRunnerCases = 200;
constexpr int kMachineCases = 200;
constexpr int kCaseCount = kRunnerCases + kMachineCases;

// Cases 0 .. kRunnerCases-1 run vesk-run, the others drive the machine as
// the windows do.
std::string RecordCase(int index, const std::string& folder);

// Writes every record (index -> text); empty text, or why it failed.
std::string WriteRecords(const std::string& path, const std::map<int, std::string>& records);
// Reads them back; empty text, or why it failed.
std::string ReadRecords(const std::string& path, std::map<int, std::string>& records);

// A readable account of where two records part: the first differing lines
// with the section they are in and a few lines of context.
std::string DescribeDifference(const std::string& expected, const std::string& actual);

}  // namespace vesk::golden
