#include "state/state_file.h"

#include <nlohmann/json.hpp>

#include "format/bit_string.h"
#include "io/controllers.h"
#include "memory/main_memory.h"
#include "memory/micro_memory.h"
#include "util/text_file.h"

namespace vesk {

namespace {

using Json = nlohmann::ordered_json;

std::string Line(const Json& value) { return value.dump(-1, ' ', false, Json::error_handler_t::strict); }

// "  "key": [\n    row,\n    row\n  ]" with one row a line.
void AppendRows(std::string& out, std::string_view key, const std::vector<Json>& rows) {
  out += "  " + Line(Json(std::string(key))) + ": [";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    out += Line(rows[i]);
  }
  out += rows.empty() ? "]" : "\n  ]";
}

}  // namespace

std::string_view StateBreakKindName(BreakKind kind) {
  switch (kind) {
    case BreakKind::Command: return "command";
    case BreakKind::Micro: return "micro";
    case BreakKind::MemoryWrite: return "memory";
    case BreakKind::Controller: return "controller";
  }
  return "command";
}

bool StateFileText(const MachineState& s, std::string& text, std::string& error) {
  try {
    std::string out = "{\n";
    out += "  \"format\": " + Line(Json(std::string(kStateFormatName))) + ",\n";
    out += "  \"version\": " + std::to_string(kStateFormatVersion) + ",\n";
    out += "  \"start\": " + Line(Json(s.start)) + ",\n";
    out += std::string("  \"mode\": ") + (s.mode == 1 ? "\"full\"" : "\"short\"") + ",\n";
    out += "  \"periods\": " + Line(Json(s.periods)) + ",\n";
    Json registers = Json::object();
    for (std::size_t i = 0; i < s.registers.size(); ++i)
      registers[std::string(kStateRegisterNames[i])] = s.registers[i];
    out += "  \"registers\": " + Line(registers) + ",\n";

    std::vector<Json> rows;
    for (const auto& r : s.memory) {
      Json row = {{"address", MainMemory::AddressText(r.address)}};
      if (r.word) row["word"] = BinToHex(*r.word).str();
      if (!r.comment.empty()) row["comment"] = r.comment;
      rows.push_back(std::move(row));
    }
    AppendRows(out, "memory", rows);
    out += ",\n";
    rows.clear();
    for (const auto& r : s.microMemory) {
      Json row = {{"address", MicroMemory::AddressText(r.address)}, {"word", BinToHex(r.word).str()}};
      if (!r.comment.empty()) row["comment"] = r.comment;
      rows.push_back(std::move(row));
    }
    AppendRows(out, "micro_memory", rows);
    out += ",\n";
    rows.clear();
    for (const auto& r : s.controllers) {
      Json row = {{"address", Controllers::AddressText(Controllers::RowOfAddress(r.address))},
                  {"flag", r.flag},
                  {"data", BinToHex(r.data).str()},
                  {"device", r.device}};
      if (!r.comment.empty()) row["comment"] = r.comment;
      rows.push_back(std::move(row));
    }
    AppendRows(out, "controllers", rows);
    out += ",\n";
    rows.clear();
    for (const Breakpoint& b : s.breakpoints) {
      Json row = {{"kind", std::string(StateBreakKindName(b.kind))}, {"address", Breakpoints::AddressText(b.kind, b.address)}};
      if (!b.enabled) row["enabled"] = false;
      rows.push_back(std::move(row));
    }
    AppendRows(out, "breakpoints", rows);
    out += "\n}\n";
    text = std::move(out);
    return true;
  } catch (const nlohmann::json::exception&) {
    error = "в комментарии есть байты, которые не составляют текст UTF-8";
    return false;
  }
}

FileResult SaveStateFile(const MachineState& state, const std::string& fileName) {
  FileResult r;
  std::string text;
  if (!StateFileText(state, text, r.error)) {
    r.error = "Не удаётся сохранить состояние '" + fileName + "': " + r.error;
    return r;
  }
  r.error = SaveTextFileAtomically(fileName, text);
  r.ok = r.error.empty();
  return r;
}

}  // namespace vesk
