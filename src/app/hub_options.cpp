#include "app/hub_options.h"

namespace vesk {

namespace {

bool IsIpv4(const std::string& s) {
  int parts = 0;
  std::size_t i = 0;
  while (i <= s.size()) {
    const std::size_t dot = std::min(s.find('.', i), s.size());
    const std::string part = s.substr(i, dot - i);
    if (part.empty() || part.size() > 3 || part.find_first_not_of("0123456789") != std::string::npos) return false;
    if (std::stoi(part) > 255) return false;
    ++parts;
    i = dot + 1;
  }
  return parts == 4;
}

bool IsIpv6(const std::string& s) {
  return !s.empty() && s.find(':') != std::string::npos &&
         s.find_first_not_of("0123456789abcdefABCDEF:.") == std::string::npos;
}

// "ADDR:PORT", the address in brackets for IPv6 ("[::1]:20100").
std::optional<std::pair<std::string, std::uint16_t>> ParseListen(const std::string& v) {
  const std::size_t colon = v.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  std::string host = v.substr(0, colon);
  const std::string port = v.substr(colon + 1);
  if (port.empty() || port.size() > 5 || port.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const long number = std::stol(port);
  if (number > 65535) return std::nullopt;
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    if (!IsIpv6(host)) return std::nullopt;
  } else if (!IsIpv4(host)) {
    return std::nullopt;
  }
  return std::pair{host, static_cast<std::uint16_t>(number)};
}

}  // namespace

std::string HubUsage() {
  return "Usage: vesk-hub [OPTIONS]\n"
         "Runs the hub that copies of Vesk join as stations of one network, without windows.\n"
         "  --listen ADDR:PORT    the address and port to take stations on (default 127.0.0.1:20100;\n"
         "                        0.0.0.0:20100 takes stations from other computers, [::1]:20100 is\n"
         "                        IPv6, port 0 picks a free port, shown in the first log line)\n"
         "  -h, --help            this text\n"
         "Every join, leave, refusal and disconnection is one line on standard output. SIGINT,\n"
         "SIGTERM or SIGHUP stops the hub after a summary line.\n"
         "Exit status: 0 stopped by a signal, 1 the address cannot be listened on, 2 bad usage.\n";
}

std::pair<std::optional<HubOptions>, std::string> ParseHubArgs(const std::vector<std::string>& args) {
  HubOptions o;
  auto fail = [](std::string why) { return std::pair<std::optional<HubOptions>, std::string>{std::nullopt, why}; };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-h" || a == "--help") {
      o.help = true;
      continue;
    }
    if (a != "--listen") return fail("unknown option '" + a + "' (see --help)");
    if (i + 1 >= args.size()) return fail("option --listen needs a value");
    const std::string& v = args[++i];
    const auto listen = ParseListen(v);
    if (!listen)
      return fail("--listen takes ADDR:PORT (an IP address and a port 0-65535, IPv6 in brackets), not '" + v + "'");
    o.host = listen->first;
    o.port = listen->second;
  }
  return {o, std::string()};
}

}  // namespace vesk
