#include "app/runner_json.h"

#include "app/machine.h"
#include "format/bit_string.h"

namespace vesk {

nlohmann::ordered_json RunnerStateJson(const Machine& m) {
  const Processor& p = m.processor;
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  j["А"] = BinToHex(p.Reg_Get_A()).str();
  j["РД"] = BinToHex(p.Reg_Get_Data()).str();
  j["РК"] = BinToHex(p.Reg_Get_Command()).str();
  j["СК"] = BinToHex(p.Reg_Get_CommandCounter()).str();
  j["РА"] = BinToHex(p.Reg_Get_Address()).str();
  j["КР"] = BinToHex(p.Reg_Get_Key()).str();
  j["БР"] = BinToHex(p.Reg_Get_Buffer()).str();
  j["РС"] = BinToHex(p.Reg_Get_State()).str();
  j["РМК"] = BinToHex(p.Micro_Reg_Get_Command()).str();
  j["СчМК"] = p.Micro_Reg_Get_CommandCounter().str();
  j["С"] = p.Reg_Get_С().str();
  j["N"] = p.Reg_Get_N().str();
  j["Z"] = p.Reg_Get_Z().str();
  j["commands"] = m.trace.CCounter();
  j["micro_commands"] = m.microTrace.MCCounter();
  j["stopped"] = !p.GetRunning();
  nlohmann::ordered_json controllers = nlohmann::ordered_json::object();
  for (int address = 0; address < Controllers::kCount; ++address) {
    const int row = Controllers::RowOfAddress(address);
    if (m.controllers.IsInitial(row)) continue;
    nlohmann::ordered_json c = nlohmann::ordered_json::object();
    c["flag"] = m.controllers.Flag(row);
    c["data"] = BinToHex(m.controllers.Data(row)).str();
    c["device"] = m.controllers.Device(row);
    controllers[Controllers::AddressText(row)] = std::move(c);
  }
  j["controllers"] = std::move(controllers);
  j["breakpoint"] = m.breakpoints.LastHit();
  return j;
}

std::string RunnerJsonLine(const nlohmann::ordered_json& object) {
  // Every text the runner puts in is UTF-8 already; a stray byte would be
  // replaced rather than end the run.
  return object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace vesk
