// The record's status text from the wizard's string tables: the words of the
// user's language. A program of its own, so that the protocol's tests run
// without the tables.
#include <gtest/gtest.h>

#include "kernel/version.h"
#include "protocol/print_server.h"
#include "reply_vectors.h"
#include "wizard/resources/wizard_resources.h"

namespace {

using namespace vek::test;

TEST(StatusTextTables, TheWordsOfTheUsersLanguage) {
  RegisterWizardResources();
  FullReply r = MakeFullReply();
  CPrintServer ps;
  ASSERT_TRUE(ps.ParseReply(r.bytes.data(), static_cast<int>(r.bytes.size())));
  ASSERT_EQ(ps.GetPortCount(), 3);

  vek::SetLanguage(0x0411, 0x0411);
  ps.m_PortStatus = PS_STATUS_DOWNLOAD;
  EXPECT_STREQ(ps.GetStatusText(), "ダウンロードモード");
  ps.m_PortStatus = 0x34;
  EXPECT_STREQ(ps.GetStatusText(), "OK, 用紙切れ, ビジー");
  ps.m_PortStatus = 0x08;
  EXPECT_STREQ(ps.GetStatusText(), "OK, オフライン, OK");

  vek::SetLanguage(0x0409, 0x0409);
  ps.m_PortStatus = PS_STATUS_DOWNLOAD;
  EXPECT_STREQ(ps.GetStatusText(), "Download Mode");
  ps.m_PortStatus = 0x34;
  EXPECT_STREQ(ps.GetStatusText(), "Ok, Paper Out, Busy");
  vek::ResetOsVersionAndLanguage();
}

}  // namespace
