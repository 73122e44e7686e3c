// The words of system error codes: every code the system's programs report has
// words of its own in both languages, and a message carries the code after them.
#include <gtest/gtest.h>

#include "kernel/error_text.h"
#include "kernel/errors.h"
#include "net/wsa_errors.h"
#include "spooler/winspool.h"

namespace {

TEST(ErrorText, EveryCodeTheSystemReportsHasWordsInBothLanguages) {
  const DWORD codes[] = {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE,
                         ERROR_NOT_ENOUGH_MEMORY, ERROR_INVALID_DATA, ERROR_NOT_READY, ERROR_OUT_OF_PAPER,
                         ERROR_WRITE_FAULT, ERROR_READ_FAULT, ERROR_NOT_SUPPORTED, ERROR_PRINT_CANCELLED,
                         ERROR_INVALID_PARAMETER, ERROR_DISK_FULL, ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_NAME,
                         ERROR_INVALID_LEVEL, ERROR_MOD_NOT_FOUND, ERROR_BUSY, ERROR_ALREADY_EXISTS, ERROR_MORE_DATA,
                         ERROR_NO_MORE_ITEMS, ERROR_BADDB, ERROR_BADKEY, ERROR_CANTOPEN, ERROR_CANTREAD,
                         ERROR_CANTWRITE, ERROR_REGISTRY_CORRUPT, ERROR_REGISTRY_IO_FAILED, ERROR_KEY_DELETED,
                         ERROR_SERVICE_NOT_ACTIVE, ERROR_IO_DEVICE, ERROR_TIMEOUT, RPC_S_SERVER_UNAVAILABLE,
                         ERROR_UNKNOWN_PORT, ERROR_INVALID_PRINTER_NAME, ERROR_PRINTER_ALREADY_EXISTS,
                         ERROR_UNKNOWN_PRINT_MONITOR, ERROR_SPL_NO_STARTDOC, WSAEACCES, WSAEADDRINUSE,
                         WSAEADDRNOTAVAIL, WSAEMSGSIZE, WSAETIMEDOUT, WSAENETUNREACH, WSANOTINITIALISED};
  for (DWORD code : codes) {
    SCOPED_TRACE(code);
    EXPECT_TRUE(vek::HasErrorWords(code));
    const std::string english = vek::ErrorWords(code), japanese = vek::ErrorWords(code, LANG_JAPANESE);
    EXPECT_FALSE(english.empty());
    EXPECT_NE(english, japanese);
    EXPECT_EQ(english + " (error " + std::to_string(code) + ")", vek::ErrorText(code));
    EXPECT_EQ(japanese + " (エラー " + std::to_string(code) + ")", vek::ErrorText(code, LANG_JAPANESE));
    // Words stand inside a sentence.
    EXPECT_TRUE(std::islower(static_cast<unsigned char>(english[0])) != 0) << english;
    EXPECT_NE('.', english.back());
  }
  // A language without words of its own reads English; a code without words
  // still says it is an error, with its number.
  EXPECT_EQ(vek::ErrorWords(ERROR_DISK_FULL), vek::ErrorWords(ERROR_DISK_FULL, 0x07));
  EXPECT_FALSE(vek::HasErrorWords(4711));
  EXPECT_EQ("an unexpected error (error 4711)", vek::ErrorText(4711));
}

}  // namespace
