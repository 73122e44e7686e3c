#include "emulator/faults.h"

#include <map>

#include "emulator/config_values.h"

namespace vek::emu {
namespace {

const std::map<std::string, MessageKind>& Kinds() {
  static const std::map<std::string, MessageKind> kinds = {
      {"search", MessageKind::Search}, {"search-multi", MessageKind::SearchMulti}, {"status", MessageKind::Status},
      {"upload", MessageKind::Upload}, {"block", MessageKind::Block},              {"secure", MessageKind::Secure},
      {"login", MessageKind::Login},   {"restart", MessageKind::Restart},
  };
  return kinds;
}

struct FaultName {
  FaultKind fault;
  bool argument;
};

const std::map<std::string, FaultName>& Names() {
  static const std::map<std::string, FaultName> names = {
      {"drop", {FaultKind::Drop, false}},          {"duplicate", {FaultKind::Duplicate, false}},
      {"delay", {FaultKind::Delay, true}},         {"empty", {FaultKind::Empty, false}},
      {"foreign-mac", {FaultKind::ForeignMac, false}}, {"lose-part", {FaultKind::LosePart, true}},
      {"ack-non-last", {FaultKind::AckNonLast, false}}, {"stale", {FaultKind::Stale, false}},
      {"malformed", {FaultKind::Malformed, false}}, {"bad-nonce", {FaultKind::BadNonce, false}},
  };
  return names;
}

}  // namespace

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
    if (parts.size() != (name->second.argument ? 3u : 2u)) {
      *why = "fault '" + parts[1] + (name->second.argument ? "' takes a number" : "' takes no number");
      return false;
    }
    if (name->second.argument) {
      std::uint64_t n = 0;
      if (!config::ReadNumber(parts[2], 600000, &n, why)) return false;
      f.argument = static_cast<int>(n);
    }
    f.message = kind->second;
    f.fault = name->second.fault;
    faults->push_back(f);
  }
  return true;
}

bool FaultSet::Take(MessageKind message, FaultKind fault, int* argument) {
  for (Fault& f : m_faults) {
    if (f.message != message || f.fault != fault || f.times == 0) continue;
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

}  // namespace vek::emu
