// The handler of the secured exchange, fed with device bodies of any content and
// length: it must read only what arrived, answer with bodies whose payload
// lengths are valid, never make a chain past the output area, and keep its
// result and its last type within their ranges. The same datagrams go to the
// password login's reader of verdicts and to the readers that pick the chosen
// device among the answers to a broadcast opening, which must read only what
// arrived.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "protocol/password_login.h"
#include "protocol/secure_config.h"
#include "protocol/shared_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  // Bytes 0-1: the configuration's length (up to a little past the limit); then
  // the device key; then the bodies, each a 2-byte length and its bytes.
  const int dataLength = (data[0] | (data[1] << 8)) % (SECURE_MAX_DATA + 40);
  std::vector<BYTE> configuration(static_cast<std::size_t>(dataLength), 0x5A);
  std::size_t pos = 2;
  const std::size_t key = std::min<std::size_t>(size - pos, sizeof(WizardSettings::m_DeviceKey));
  std::memset(WizardSettings::m_DeviceKey, 0, sizeof(WizardSettings::m_DeviceKey));
  std::memcpy(WizardSettings::m_DeviceKey, data + pos, data[2] % 2 ? key : 0);
  pos += data[2] % 2 ? key : 1;
  g_PasswordKeyLength = data[3] % 9;
  if (SecureConfigSessionInit() != 1) return 0;

  std::vector<BYTE> out(SECURE_OUTPUT_LENGTH, 0);
  SecureConfigOpenBody(out.data());
  while (pos + 2 <= size) {
    const std::size_t length = data[pos] | (data[pos + 1] << 8);
    pos += 2;
    const std::size_t n = std::min(length, size - pos);
    std::unique_ptr<BYTE[]> body(new BYTE[n > 0 ? n : 1]);
    std::memcpy(body.get(), data + pos, n);
    pos += n;
    const int verdict = ReadLoginVerdict(body.get(), static_cast<int>(n));
    if (verdict < -1 || verdict > LOGIN_REFUSED) __builtin_trap();
    // The readers a broadcast opening's driver picks the chosen device with.
    WORD type = 0;
    BYTE status = 0;
    const BOOL read = SecureConfigReadBody(body.get(), static_cast<int>(n), &type, &status);
    const BOOL offers = SecureConfigOffersKey(body.get(), static_cast<int>(n), WizardSettings::m_DeviceKey,
                                              static_cast<int>(key));
    if (offers && (!read || status != 0 || (type != SECURE_USE_INFO_KEY && type != SECURE_GIVE_KEY))) __builtin_trap();
    const int result =
        SecureConfigHandleMessage(body.get(), static_cast<int>(n), out.data(), configuration.data(), dataLength);
    if (result < SECURE_FAILED || result > SECURE_IGNORE) __builtin_trap();
    if (g_ConfigLastType < 0 || g_ConfigLastType > SECURE_LAST_TYPE) __builtin_trap();
    for (int i = 0; i < SECURE_OUTPUT_BODIES; i++) {
      const auto* b = reinterpret_cast<const SecureConfigBody*>(out.data() + i * SECURE_BODY_LENGTH);
      if (b->PayloadLength > SECURE_PAYLOAD_LENGTH) __builtin_trap();
      if (i == SECURE_OUTPUT_BODIES - 1 && b->More != 0) __builtin_trap();
    }
    if (result == SECURE_FAILED || result == SECURE_DONE) break;
  }
  return 0;
}
