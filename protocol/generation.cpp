#include "protocol/generation.h"

#include <cstring>

namespace {

struct GenerationRule {
  const char* Lead;
  int Generation;
};

// Tested in this order; the first match decides. "QIM-R4412+" begins with "QIM" but
// is not one of ours.
constexpr GenerationRule kRules[] = {
    {"QIM-R4410KX-SETUP", PS_GENERATION_QIM_SETUP},
    {"QIM-R4412+", PS_GENERATION_NONE},
    {"QIM", PS_GENERATION_QIM},
    {"QI", PS_GENERATION_NONE},
    {"NET", PS_GENERATION_NET},
};

}  // namespace

int PSReplyGeneration(const BYTE* reply, int length) {
  if (reply == NULL || length <= 0) return PS_GENERATION_NONE;
  for (const GenerationRule& rule : kRules) {
    const int n = static_cast<int>(std::strlen(rule.Lead));
    if (length >= n && std::memcmp(reply, rule.Lead, static_cast<size_t>(n)) == 0) return rule.Generation;
  }
  return PS_GENERATION_NONE;
}
