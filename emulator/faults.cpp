#include "emulator/faults.h"

#include <cstdlib>
#include <map>
#include <set>

#include "emulator/config_values.h"

namespace vek::emu {
namespace {

const std::map<std::string, MessageKind>& Kinds() {
  static const std::map<std::string, MessageKind> kinds = {
      {"search", MessageKind::Search}, {"search-multi", MessageKind::SearchMulti}, {"status", MessageKind::Status},
      {"upload", MessageKind::Upload}, {"block", MessageKind::Block},              {"secure", MessageKind::Secure},
      {"login", MessageKind::Login},   {"restart", MessageKind::Restart},          {"connect", MessageKind::Connect},
      {"data", MessageKind::Data},     {"ack", MessageKind::Ack},                  {"eoj", MessageKind::EndOfJob},
      {"port-info", MessageKind::PortInfo},
  };
  return kinds;
}

enum class Argument { None, Required, Optional };

struct FaultName {
  FaultKind fault;
  Argument argument;
  // The kinds it may be given for; empty: any (the faults of the configuration
  // exchanges, which ignore kinds they do not apply to).
  std::set<MessageKind> kinds;
  bool rated = true;
};

const std::map<std::string, FaultName>& Names() {
  using K = MessageKind;
  static const std::set<K> replies = {K::Connect, K::Data, K::Ack, K::EndOfJob, K::Status};
  static const std::set<K> strays = {K::Connect, K::Ack, K::EndOfJob, K::Status, K::Login};
  static const std::map<std::string, FaultName> names = {
      {"drop", {FaultKind::Drop, Argument::None, {}}},
      {"duplicate", {FaultKind::Duplicate, Argument::None, {}}},
      {"delay", {FaultKind::Delay, Argument::Required, {}}},
      {"empty", {FaultKind::Empty, Argument::None, {}}},
      {"foreign-mac", {FaultKind::ForeignMac, Argument::None, {}}},
      {"lose-part", {FaultKind::LosePart, Argument::Required, {}}},
      {"flood", {FaultKind::Flood, Argument::Required, {K::SearchMulti}}},
      {"ack-non-last", {FaultKind::AckNonLast, Argument::None, {}}},
      {"stale", {FaultKind::Stale, Argument::None, {}}},
      {"malformed", {FaultKind::Malformed, Argument::None, {}}},
      {"bad-nonce", {FaultKind::BadNonce, Argument::None, {}}},
      {"reorder", {FaultKind::Reorder, Argument::None, replies}},
      {"busy", {FaultKind::Busy, Argument::Optional, {K::Connect, K::Status}, false}},
      {"refuse", {FaultKind::Refuse, Argument::None, {K::Connect}}},
      {"paper-out", {FaultKind::PaperOut, Argument::Optional, {K::Status}, false}},
      {"offline", {FaultKind::Offline, Argument::Optional, {K::Status}, false}},
      {"withhold", {FaultKind::Withhold, Argument::Optional, {K::Ack}}},
      {"invalid", {FaultKind::Invalid, Argument::None, {K::Ack}}},
      {"out-of-window", {FaultKind::OutOfWindow, Argument::None, {K::Ack}}},
      {"truncated", {FaultKind::Truncated, Argument::None, {K::Ack}}},
      {"other-port", {FaultKind::OtherPort, Argument::None, {K::Ack}}},
      {"stray", {FaultKind::Stray, Argument::None, strays}},
      {"truncated-ahead", {FaultKind::TruncatedAhead, Argument::None, {K::Ack}}},
      {"impostor", {FaultKind::Impostor, Argument::None, {K::Ack}}},
      {"ignore", {FaultKind::Ignore, Argument::None, {K::Restart}}},
  };
  return names;
}

// "5%", "2.5%" or "0.1%": a chance from 0 to 1.
bool ReadRate(const std::string& text, double* rate, std::string* why) {
  const std::string body = text.substr(0, text.size() - 1);
  bool dot = false, digits = false;
  for (char c : body) {
    if (c == '.' && !dot) {
      dot = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
    } else {
      digits = false;
      break;
    }
  }
  const double percent = digits ? std::strtod(body.c_str(), nullptr) : -1;
  if (percent <= 0 || percent > 100) {
    *why = "'" + text + "' is not a rate above 0% and at most 100%";
    return false;
  }
  *rate = percent / 100;
  return true;
}

}  // namespace

const char* MessageKindName(MessageKind kind) {
  for (const auto& [name, value] : Kinds())
    if (value == kind) return name.c_str();
  return "?";
}

bool UsesStrayAddress(const std::vector<Fault>& faults) {
  for (const Fault& f : faults)
    if (f.fault == FaultKind::Stray || f.fault == FaultKind::Impostor || f.fault == FaultKind::Flood) return true;
  return false;
}

bool ReadFaults(const std::string& text, std::vector<Fault>* faults, std::string* why) {
  faults->clear();
  for (const std::string& item : config::SplitList(text)) {
    if (item.empty()) continue;
    Fault f;
    std::string body = config::Lower(item);
    if (std::size_t star = body.find('*'); star != std::string::npos) {
      std::uint64_t times = 0;
      if (!config::ReadNumber(config::Trim(body.substr(star + 1)), 1000000, &times, why)) return false;
      f.times = static_cast<int>(times);
      body = config::Trim(body.substr(0, star));
    }
    std::vector<std::string> parts = config::SplitList(body, ":");
    if (parts.size() < 2) {
      *why = "fault '" + item + "' is not KIND:FAULT";
      return false;
    }
    auto kind = Kinds().find(parts[0]);
    if (kind == Kinds().end()) {
      *why = "unknown message kind '" + parts[0] + "'";
      return false;
    }
    auto name = Names().find(parts[1]);
    if (name == Names().end()) {
      *why = "unknown fault '" + parts[1] + "'";
      return false;
    }
    const FaultName& entry = name->second;
    if (!entry.kinds.empty() && !entry.kinds.count(kind->second)) {
      *why = "fault '" + parts[1] + "' does not apply to " + parts[0];
      return false;
    }
    if (parts.size() > 2 && !parts.back().empty() && parts.back().back() == '%') {
      if (!entry.rated) {
        *why = "fault '" + parts[1] + "' takes no rate";
        return false;
      }
      if (!ReadRate(parts.back(), &f.rate, why)) return false;
      parts.pop_back();
    }
    const bool argument = parts.size() == 3;
    if (parts.size() > 3 || (argument && entry.argument == Argument::None) ||
        (!argument && entry.argument == Argument::Required)) {
      *why = "fault '" + parts[1] + (entry.argument == Argument::None ? "' takes no number" : "' takes a number");
      return false;
    }
    if (argument) {
      std::uint64_t n = 0;
      if (!config::ReadNumber(parts[2], 600000, &n, why)) return false;
      f.argument = static_cast<int>(n);
      f.hasArgument = true;
    }
    f.message = kind->second;
    f.fault = entry.fault;
    faults->push_back(f);
  }
  return true;
}

FaultSet::FaultSet(std::vector<Fault> faults, std::uint64_t seed) : m_faults(std::move(faults)) {
  for (std::size_t i = 0; i < m_faults.size(); i++) m_draws.emplace_back(seed * 0x9E3779B97F4A7C15ull + i);
}

bool FaultSet::Take(MessageKind message, FaultKind fault, int* argument) {
  for (std::size_t i = 0; i < m_faults.size(); i++) {
    Fault& f = m_faults[i];
    if (f.message != message || f.fault != fault || f.times == 0) continue;
    if (f.rate > 0 && std::uniform_real_distribution<double>(0, 1)(m_draws[i]) >= f.rate) continue;
    if (f.times > 0) f.times--;
    if (argument) *argument = f.argument;
    return true;
  }
  return false;
}

bool FaultSet::Has(MessageKind message, FaultKind fault) const {
  for (const Fault& f : m_faults)
    if (f.message == message && f.fault == fault && f.times != 0) return true;
  return false;
}

std::vector<int> FaultSet::Arguments(MessageKind message, FaultKind fault) const {
  std::vector<int> arguments;
  for (const Fault& f : m_faults)
    if (f.message == message && f.fault == fault && f.times != 0) arguments.push_back(f.hasArgument ? f.argument : -1);
  return arguments;
}

void FaultSet::TakeAll(MessageKind message, FaultKind fault) {
  for (Fault& f : m_faults)
    if (f.message == message && f.fault == fault && f.times > 0) f.times--;
}

}  // namespace vek::emu
