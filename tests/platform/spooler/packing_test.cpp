// Records packed into the caller's buffer: the two-call protocol, every pointer
// inside the buffer, nothing written past it.
#include "spooler_test_support.h"

namespace vek::test {
namespace {

class Packing : public SpoolerTest {
 protected:
  void SetUp() override {
    SpoolerTest::SetUp();
    SeedPort("VEK12AB0C-1");
  }
};

TEST_F(Packing, NoPrintersSucceedsWithNothingNeededAndErrorZero) {
  SetLastError(12345);
  DWORD needed = 99, returned = 99;
  EXPECT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(0u, needed);
  EXPECT_EQ(0u, returned);
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());  // the setup wizard reads "no printer" from it
}

TEST_F(Packing, EnumPrintersWideLevel2TwoCalls) {
  AddPrinter("First", "LPT1:");
  AddPrinter("Second Printer", "VEK12AB0C-1");
  AddPrinter("Third", "LPT1:");
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  ASSERT_GT(needed, 3 * sizeof(PRINTER_INFO_2W));

  GuardedBuffer shortBuffer(needed - 1);
  DWORD again = 0;
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, shortBuffer.data(), shortBuffer.size(), &again,
                             &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(needed, again);
  EXPECT_TRUE(shortBuffer.GuardIntact());

  GuardedBuffer buffer(needed);
  ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), buffer.size(), &again, &returned));
  EXPECT_EQ(ERROR_SUCCESS, GetLastError());
  ASSERT_EQ(3u, returned);
  EXPECT_TRUE(buffer.GuardIntact());
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  std::vector<std::string> names;
  for (DWORD i = 0; i < returned; ++i) {
    for (const char16_t* text : {info[i].pServerName, info[i].pPrinterName, info[i].pShareName, info[i].pPortName,
                                 info[i].pDriverName, info[i].pComment, info[i].pLocation, info[i].pSepFile,
                                 info[i].pPrintProcessor, info[i].pDatatype, info[i].pParameters})
      EXPECT_TRUE(buffer.Inside(text));
    EXPECT_EQ(nullptr, info[i].pDevMode);
    EXPECT_EQ(nullptr, info[i].pSecurityDescriptor);
    names.push_back(Text(info[i].pPrinterName));
  }
  EXPECT_EQ((std::vector<std::string>{"First", "Second Printer", "Third"}), names);
  EXPECT_EQ("VEK12AB0C-1", Text(info[1].pPortName));
  EXPECT_EQ("Generic / Text Only", Text(info[1].pDriverName));
  EXPECT_EQ("RAW", Text(info[1].pDatatype));
  // The first printer added became the default one.
  EXPECT_TRUE(info[0].Attributes & PRINTER_ATTRIBUTE_DEFAULT);
  EXPECT_FALSE(info[1].Attributes & PRINTER_ATTRIBUTE_DEFAULT);
}

TEST_F(Packing, OddSizedBufferKeepsWideStringsAligned) {
  AddPrinter("Odd", "LPT1:");
  DWORD needed = 0, returned = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  GuardedBuffer buffer(needed + 1);
  ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), buffer.size(), &needed, &returned));
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(buffer.data());
  EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(info->pPrinterName) % 2);
  EXPECT_TRUE(buffer.Inside(info->pPrinterName));
  EXPECT_TRUE(buffer.GuardIntact());
}

TEST_F(Packing, EnumPrintersNarrowLevel1) {
  AddPrinter("Narrow", "LPT1:");
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  GuardedBuffer buffer(needed);
  ASSERT_TRUE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, buffer.data(), buffer.size(), &needed, &returned));
  ASSERT_EQ(1u, returned);
  auto* info = reinterpret_cast<PRINTER_INFO_1A*>(buffer.data());
  EXPECT_TRUE(buffer.Inside(info->pName) && buffer.Inside(info->pDescription) && buffer.Inside(info->pComment));
  EXPECT_EQ("Narrow", Text(info->pName));
  EXPECT_EQ("Narrow,Generic / Text Only,", Text(info->pDescription));
  EXPECT_TRUE(buffer.GuardIntact());
}

TEST_F(Packing, EnumPortsBothFormsAndLevels) {
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  GuardedBuffer narrow(needed);
  ASSERT_TRUE(EnumPortsA(nullptr, 2, narrow.data(), narrow.size(), &needed, &returned));
  ASSERT_EQ(2u, returned);
  auto* ports = reinterpret_cast<PORT_INFO_2A*>(narrow.data());
  for (DWORD i = 0; i < returned; ++i) {
    EXPECT_TRUE(narrow.Inside(ports[i].pPortName));
    EXPECT_TRUE(narrow.Inside(ports[i].pMonitorName));
    EXPECT_TRUE(narrow.Inside(ports[i].pDescription));
    EXPECT_EQ(0u, ports[i].Reserved);
  }
  EXPECT_EQ("LPT1:", Text(ports[0].pPortName));
  EXPECT_EQ("Local Port", Text(ports[0].pMonitorName));
  EXPECT_EQ("VEK12AB0C-1", Text(ports[1].pPortName));
  EXPECT_EQ(spooler::kVekMonitorName, Text(ports[1].pMonitorName));
  EXPECT_EQ("FAKE,PID:1", Text(ports[1].pDescription));
  EXPECT_TRUE(narrow.GuardIntact());

  EXPECT_FALSE(EnumPortsW(nullptr, 1, nullptr, 0, &needed, &returned));
  GuardedBuffer wide(needed);
  ASSERT_TRUE(EnumPortsW(nullptr, 1, wide.data(), wide.size(), &needed, &returned));
  auto* names = reinterpret_cast<PORT_INFO_1W*>(wide.data());
  ASSERT_EQ(2u, returned);
  EXPECT_TRUE(wide.Inside(names[0].pName) && wide.Inside(names[1].pName));
  EXPECT_EQ("VEK12AB0C-1", Text(names[1].pName));
  EXPECT_TRUE(wide.GuardIntact());
}

TEST_F(Packing, BadArgumentsAndLevels) {
  DWORD needed = 0, returned = 0;
  EXPECT_FALSE(EnumPortsW(nullptr, 3, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
  EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
  EXPECT_FALSE(EnumPortsA(nullptr, 2, nullptr, 0, nullptr, &returned));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(EnumPortsA("\\\\elsewhere", 2, nullptr, 0, &needed, &returned));
  EXPECT_EQ(ERROR_INVALID_NAME, GetLastError());
  BYTE buffer[16];
  EXPECT_FALSE(GetPrinterW(reinterpret_cast<HANDLE>(0x1234), 2, buffer, sizeof buffer, &needed));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(Packing, GetPrinterLikeTheMonitorAndTheWizard) {
  AddPrinter("Office", "VEK12AB0C-1");
  HANDLE printer = Open("office");  // names compare without case
  ASSERT_NE(nullptr, printer);

  // The monitor's way: a zeroed 3500-byte buffer at once.
  std::vector<BYTE> block(3500, 0);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), static_cast<DWORD>(block.size()), &needed));
  auto* wide = reinterpret_cast<PRINTER_INFO_2W*>(block.data());
  EXPECT_EQ("Office", Text(wide->pPrinterName));
  EXPECT_EQ(0u, wide->cJobs);

  // The wizard's way: the size, then a block of that size.
  EXPECT_FALSE(GetPrinterA(printer, 2, nullptr, 0, &needed));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  GuardedBuffer buffer(needed);
  ASSERT_TRUE(GetPrinterA(printer, 2, buffer.data(), buffer.size(), &needed));
  auto* narrow = reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  EXPECT_TRUE(buffer.Inside(narrow->pPrinterName) && buffer.Inside(narrow->pPortName) &&
              buffer.Inside(narrow->pDriverName));
  EXPECT_EQ("VEK12AB0C-1", Text(narrow->pPortName));
  EXPECT_TRUE(buffer.GuardIntact());

  EXPECT_FALSE(GetPrinterW(printer, 3, block.data(), 3500, &needed));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
  EXPECT_TRUE(ClosePrinter(printer));
  EXPECT_FALSE(ClosePrinter(printer));
  EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

TEST_F(Packing, GetJobTwoCallsAndTheMonitorsBuffer) {
  AddPrinter("Jobs", "VEK12AB0C-1");
  DWORD job = Print("Jobs", Pattern(1000), "report.txt");
  WaitEnd(job);
  HANDLE printer = Open("Jobs");
  DWORD needed = 0;
  EXPECT_FALSE(GetJobW(printer, job, 1, nullptr, 0, &needed));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_LE(needed, 300u);  // what the VEK monitor reserves
  GuardedBuffer buffer(needed);
  ASSERT_TRUE(GetJobW(printer, job, 1, buffer.data(), buffer.size(), &needed));
  auto* info = reinterpret_cast<JOB_INFO_1W*>(buffer.data());
  EXPECT_EQ(job, info->JobId);
  for (const char16_t* text : {info->pPrinterName, info->pMachineName, info->pUserName, info->pDocument,
                               info->pDatatype, info->pStatus})
    EXPECT_TRUE(buffer.Inside(text));
  EXPECT_EQ("Jobs", Text(info->pPrinterName));
  EXPECT_EQ("report.txt", Text(info->pDocument));
  EXPECT_EQ("RAW", Text(info->pDatatype));
  EXPECT_EQ(JOB_STATUS_PRINTED, info->Status);
  EXPECT_GE(info->Submitted.wYear, 2024);
  EXPECT_TRUE(buffer.GuardIntact());

  JOB_INFO_1A narrow{};
  EXPECT_FALSE(GetJobA(printer, job, 1, reinterpret_cast<LPBYTE>(&narrow), sizeof narrow, &needed));
  EXPECT_EQ(ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_FALSE(GetJobW(printer, job + 100, 1, buffer.data(), buffer.size(), &needed));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(GetJobW(printer, job, 2, buffer.data(), buffer.size(), &needed));
  EXPECT_EQ(ERROR_INVALID_LEVEL, GetLastError());
  ClosePrinter(printer);
}

TEST_F(Packing, JobOfAnotherPrinterIsNotSeenThroughThisOne) {
  AddPrinter("One", "LPT1:");
  AddPrinter("Two", "LPT1:");
  DWORD job = Print("One", "x");
  WaitEnd(job);
  HANDLE two = Open("Two");
  BYTE buffer[300];
  DWORD needed = 0;
  EXPECT_FALSE(GetJobW(two, job, 1, buffer, sizeof buffer, &needed));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
  EXPECT_FALSE(SetJobW(two, job, 0, nullptr, JOB_CONTROL_CANCEL));
  ClosePrinter(two);
}

}  // namespace
}  // namespace vek::test
