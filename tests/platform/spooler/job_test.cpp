// Jobs: the monitor's port calls on the job's own thread, advancing by the bytes
// written, retrying after out of paper and device errors, cancelling.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "spooler/ports.h"
#include "spooler_test_support.h"

namespace vek::test {
namespace {

using spooler::JobRecord;
using spooler::JobState;

class Jobs : public SpoolerTest {
 protected:
  void SetUp() override {
    SpoolerTest::SetUp();
    SeedPort("VEK1");
    AddPrinter("Printer", "VEK1");
  }

  // The port's status as its monitor reports it (SetPort level 3).
  void ReportPortStatus(DWORD status, const char16_t* text) {
    PORT_INFO_3W info{status, const_cast<LPWSTR>(text), status || text ? PORT_STATUS_TYPE_ERROR : PORT_STATUS_TYPE_INFO};
    ASSERT_TRUE(SetPortW(nullptr, const_cast<LPWSTR>(u"VEK1"), 3, reinterpret_cast<LPBYTE>(&info)));
  }

  bool Saw(const std::vector<JobRecord>& seen, JobState state, DWORD error) {
    return std::any_of(seen.begin(), seen.end(),
                       [&](const JobRecord& r) { return r.state == state && r.error == error; });
  }
};

TEST_F(Jobs, APrintedJobRunsThePortCallsInOrder) {
  std::string data = Pattern(200000);
  DWORD job = Print("Printer", data, "letter.txt");
  JobRecord end = WaitEnd(job);
  EXPECT_EQ(JobState::Printed, end.state);
  EXPECT_EQ(data.size(), end.written);
  EXPECT_EQ(data.size(), end.total);
  EXPECT_EQ(data, Received());
  std::vector<std::string> calls = Calls();
  std::erase_if(calls, [](const std::string& c) { return c.rfind("EnumPorts", 0) == 0; });
  EXPECT_EQ((std::vector<std::string>{"OpenPort(VEK1)", "StartDocPort(Printer," + std::to_string(job) + ",letter.txt)",
                                      "EndDocPort", "ClosePort"}),
            calls);
  // The spool file is gone, the record stays.
  EXPECT_FALSE(std::filesystem::exists(m_root.path() + "/spool/" + std::to_string(job) + ".spl"));
  JobRecord stored;
  ASSERT_TRUE(spooler::ReadJob(job, &stored));
  EXPECT_EQ(JobState::Printed, stored.state);
}

// Another user of a shared machine root leaves links at the next spool files'
// names: a job's data never goes through them, nor over a file already there;
// the job takes the next id free of both.
TEST_F(Jobs, SpoolFilesAreMadeAnewNeverThroughALinkOrOverAFile) {
  const std::string spool = m_root.path() + "/spool/";
  const std::string secret = m_root.path() + "/secret";
  { std::ofstream(secret) << "root's own"; }
  std::filesystem::permissions(secret, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  std::filesystem::create_directories(spool);
  std::filesystem::create_symlink(secret, spool + "1.spl");
  { std::ofstream(spool + "2.spl") << "left over"; }

  std::string data = Pattern(5000);
  DWORD job = Print("Printer", data);
  EXPECT_EQ(3u, job);
  EXPECT_EQ(JobState::Printed, WaitEnd(job).state);
  EXPECT_EQ(data, Received());
  std::ifstream planted(secret);
  EXPECT_EQ("root's own", std::string(std::istreambuf_iterator<char>(planted), {}));
  EXPECT_TRUE(std::filesystem::is_symlink(spool + "1.spl"));
  JobRecord none;
  EXPECT_FALSE(spooler::ReadJob(1, &none)) << "the ids passed over leave no record";
  EXPECT_FALSE(spooler::ReadJob(2, &none));
}

TEST_F(Jobs, PartialWritesAdvanceByTheBytesWritten) {
  fake->maxWrite = 777;
  std::string data = Pattern(50000);
  JobRecord end = WaitEnd(Print("Printer", data));
  EXPECT_EQ(JobState::Printed, end.state);
  EXPECT_EQ(data, Received());
  EXPECT_GE(fake->writes, static_cast<int>(50000 / 777));
}

TEST_F(Jobs, WritesThatTakeNothingAreTriedAgain) {
  fake->steps = {{TRUE, 0, 0}, {TRUE, 0, 0}, {TRUE, 0, 10}, {TRUE, 0, 0}};
  std::string data = Pattern(5000);
  EXPECT_EQ(JobState::Printed, WaitEnd(Print("Printer", data)).state);
  EXPECT_EQ(data, Received());
}

TEST_F(Jobs, OutOfPaperAndDeviceErrorsAreRetriedAndShown) {
  // Failed writes that still took bytes: those bytes count, the rest is retried.
  fake->steps = {{FALSE, ERROR_OUT_OF_PAPER, 100}, {FALSE, ERROR_OUT_OF_PAPER, 0}, {FALSE, ERROR_IO_DEVICE, 50}};
  std::string data = Pattern(10000);
  std::vector<JobRecord> seen;
  JobRecord end = WaitEnd(Print("Printer", data), &seen);
  EXPECT_EQ(JobState::Printed, end.state);
  EXPECT_EQ(data, Received());
  EXPECT_TRUE(Saw(seen, JobState::Retrying, ERROR_OUT_OF_PAPER));
  EXPECT_TRUE(Saw(seen, JobState::Retrying, ERROR_IO_DEVICE));
  auto paperOut = std::find_if(seen.begin(), seen.end(), [](const JobRecord& r) {
    return r.state == JobState::Retrying && r.error == ERROR_OUT_OF_PAPER;
  });
  EXPECT_EQ(JOB_STATUS_PRINTING | JOB_STATUS_ERROR | JOB_STATUS_PAPEROUT, spooler::JobStatusBits(*paperOut));
  EXPECT_EQ(0u, end.error);
}

// A port's out of paper (28) says only that its device took no data for a
// while: the job names paper out where the port's status reported it, and not
// where the port reported nothing or its own words.
TEST_F(Jobs, OutOfPaperIsNamedOnlyWhereThePortReportedIt) {
  spooler::SetRetryPolicy({5, 2});
  struct Case {
    DWORD status;
    const char16_t* text;
    const char* retrying;
  } cases[] = {{0, nullptr, "Not taking data"},
               {PORT_STATUS_PAPER_OUT, nullptr, "Out of paper"},
               {PORT_STATUS_PAPER_OUT, u"Not taking data", "Not taking data"}};
  for (const Case& c : cases) {
    ReportPortStatus(c.status, c.text);
    fake->failWrites = 100;
    fake->failError = ERROR_OUT_OF_PAPER;
    std::vector<JobRecord> seen;
    JobRecord end = WaitEnd(Print("Printer", Pattern(1000)), &seen);
    auto retrying = std::find_if(seen.begin(), seen.end(), [](const JobRecord& r) { return r.state == JobState::Retrying; });
    ASSERT_NE(seen.end(), retrying) << c.retrying;
    EXPECT_EQ(c.retrying, spooler::DescribeJob(*retrying));
    EXPECT_EQ(ERROR_OUT_OF_PAPER, end.error);
    EXPECT_EQ("Failed: " + std::string(c.retrying), spooler::DescribeJob(end));
    // What a job of another process reads from the store says the same.
    JobRecord stored;
    ASSERT_TRUE(spooler::ReadJob(end.id, &stored));
    EXPECT_EQ("Failed: " + std::string(c.retrying), spooler::DescribeJob(stored));
  }
}

// A start that fails with a device error did not reach the device; other errors
// read in the platform's words.
TEST_F(Jobs, AFailedStartSaysTheDeviceWasNotReached) {
  fake->failStartDoc = true;
  fake->startDocError = ERROR_IO_DEVICE;
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(ERROR_IO_DEVICE, end.error);
  EXPECT_EQ(spooler::JobCause::NoConnection, end.cause);
  EXPECT_EQ("Failed: Not connected", spooler::DescribeJob(end));
  fake->startDocError = ERROR_DISK_FULL;
  EXPECT_EQ("Failed: The disk is full", spooler::DescribeJob(WaitEnd(Print("Printer", Pattern(1000)))));
}

TEST_F(Jobs, AJobGivesUpAfterTheRetryLimit) {
  spooler::SetRetryPolicy({5, 3});
  fake->failWrites = 100;
  fake->failError = ERROR_IO_DEVICE;
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(JobState::Failed, end.state);
  EXPECT_EQ(ERROR_IO_DEVICE, end.error);
  EXPECT_EQ(3u, end.tries);
  EXPECT_EQ(3, fake->writes);
  EXPECT_EQ("Failed: Device error", spooler::DescribeJob(end));
  std::vector<std::string> calls = Calls();
  EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "ClosePort"));
}

// A port that fails, then takes nothing without failing (as the VEK monitor does
// between its status checks), has not recovered: the tries go on counting.
TEST_F(Jobs, AWriteThatTakesNothingDoesNotResetTheTries) {
  spooler::SetRetryPolicy({5, 3});
  fake::WriteStep fail{FALSE, ERROR_OUT_OF_PAPER, 0}, idle{TRUE, 0, 0};
  for (int i = 0; i < 50; i++) {
    fake->steps.push_back(fail);
    fake->steps.push_back(idle);
  }
  std::vector<JobRecord> seen;
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)), &seen);
  EXPECT_EQ(JobState::Failed, end.state);
  EXPECT_EQ(ERROR_OUT_OF_PAPER, end.error);
  EXPECT_EQ(3u, end.tries);
  EXPECT_EQ(5, fake->writes);
  // Between the failures the job still shows the device's state.
  auto retrying = std::find_if(seen.begin(), seen.end(), [](const JobRecord& r) { return r.state == JobState::Retrying; });
  ASSERT_NE(seen.end(), retrying);
  EXPECT_TRUE(std::none_of(retrying, seen.end(), [](const JobRecord& r) { return r.state == JobState::Printing; }));
}

// Past the retry limit the job is cancelled before its document ends, so a monitor
// that waits out an out-of-paper device at its end sees the job going.
TEST_F(Jobs, AJobThatGivesUpIsCancelledBeforeItsDocumentEnds) {
  spooler::SetRetryPolicy({5, 2});
  fake->failWrites = 100;
  fake->failError = ERROR_OUT_OF_PAPER;
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(JobState::Failed, end.state);
  EXPECT_EQ(ERROR_OUT_OF_PAPER, end.error);
  EXPECT_TRUE(fake->endDocJobStatus & JOB_STATUS_DELETING) << fake->endDocJobStatus;
}

TEST_F(Jobs, APrintedJobIsNotCancelledBeforeItsDocumentEnds) {
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(JobState::Printed, end.state);
  EXPECT_FALSE(fake->endDocJobStatus & JOB_STATUS_DELETING) << fake->endDocJobStatus;
}

TEST_F(Jobs, OtherWriteErrorsFailAtOnce) {
  fake->steps = {{FALSE, ERROR_INVALID_PARAMETER, 0}};
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(JobState::Failed, end.state);
  EXPECT_EQ(ERROR_INVALID_PARAMETER, end.error);
  EXPECT_EQ(1, fake->writes);
}

TEST_F(Jobs, AFailedStartEndsTheJob) {
  fake->failStartDoc = true;
  JobRecord end = WaitEnd(Print("Printer", Pattern(1000)));
  EXPECT_EQ(JobState::Failed, end.state);
  EXPECT_EQ(ERROR_IO_DEVICE, end.error);
  std::vector<std::string> calls = Calls();
  EXPECT_EQ("ClosePort", calls.back());
  EXPECT_EQ(0, fake->writes);
}

TEST_F(Jobs, CancelMidJobStopsWritingAndEndsTheDocument) {
  fake->maxWrite = 1000;
  fake->blockAtBytes = 3000;
  fake->cancelAtEndDoc = false;
  DWORD job = Print("Printer", Pattern(100000));
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard guard(fake->lock);
    return fake->blocked;
  }));
  HANDLE printer = Open("Printer");
  EXPECT_TRUE(SetJobW(printer, job, 0, nullptr, JOB_CONTROL_CANCEL));
  BYTE buffer[300];
  DWORD needed = 0;
  ASSERT_TRUE(GetJobW(printer, job, 1, buffer, sizeof buffer, &needed));
  EXPECT_TRUE(reinterpret_cast<JOB_INFO_1W*>(buffer)->Status & JOB_STATUS_DELETING);
  {
    std::lock_guard guard(fake->lock);
    fake->released = true;
    fake->changed.notify_all();
  }
  JobRecord end = WaitEnd(job);
  EXPECT_EQ(JobState::Cancelled, end.state);
  EXPECT_LT(end.written, end.total);
  EXPECT_EQ(Received().size(), end.written);
  std::vector<std::string> calls = Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ("EndDocPort", calls[calls.size() - 2]);
  EXPECT_EQ("ClosePort", calls.back());
  ASSERT_TRUE(GetJobW(printer, job, 1, buffer, sizeof buffer, &needed));
  EXPECT_EQ(JOB_STATUS_DELETED, reinterpret_cast<JOB_INFO_1W*>(buffer)->Status);
  ClosePrinter(printer);
}

TEST_F(Jobs, CancelWhileRetryingEndsTheWait) {
  spooler::SetRetryPolicy({60000, 0});
  fake->failWrites = 1000;
  fake->failError = ERROR_OUT_OF_PAPER;
  DWORD job = Print("Printer", Pattern(1000));
  ASSERT_TRUE(WaitFor([&] {
    JobRecord record;
    return spooler::ReadJob(job, &record) && record.state == JobState::Retrying;
  }));
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(spooler::CancelJob(job));
  JobRecord end = WaitEnd(job);
  EXPECT_EQ(JobState::Cancelled, end.state);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(Jobs, RemovedByTheMonitorAfterTheLastByteIsPrinted) {
  // The VEK monitor cancels every job it has ended (cancelAtEndDoc): still printed.
  std::string data = Pattern(3000);
  DWORD job = Print("Printer", data);
  JobRecord end = WaitEnd(job);
  EXPECT_EQ(JobState::Printed, end.state);
  EXPECT_TRUE(end.cancelRequested);
  EXPECT_EQ("Printed", spooler::DescribeJob(end));
  EXPECT_EQ(JOB_STATUS_PRINTED, spooler::JobStatusBits(end));
  // While it ends it does not read as being cancelled; a job with bytes left does.
  JobRecord ending = end;
  ending.state = JobState::Printing;
  EXPECT_EQ("Printing (ending)", spooler::DescribeJob(ending));
  ending.written = ending.total - 1;
  EXPECT_EQ("Printing (cancelling)", spooler::DescribeJob(ending));
}

TEST_F(Jobs, TheMonitorMayCallTheSpoolerFromItsCalls) {
  fake->callBackInWrite = true;
  fake->maxWrite = 4000;
  std::string data = Pattern(20000);
  JobRecord end = WaitEnd(Print("Printer", data));
  EXPECT_EQ(JobState::Printed, end.state);
  std::lock_guard guard(fake->lock);
  EXPECT_GE(fake->callbacks, 5);
  EXPECT_EQ(0, fake->callbackFailures);
  EXPECT_EQ(JOB_STATUS_PRINTING, fake->lastJobStatus);
  EXPECT_EQ(PORT_STATUS_PAPER_OUT, spooler::ReadPortStatus("VEK1").status);
}

TEST_F(Jobs, QueuedJobsOfAPortRunOneAtATime) {
  fake->maxWrite = 500;
  // The job that runs first is held in its writes while the other waits.
  fake->blockAtBytes = 1000;
  DWORD first = Print("Printer", Pattern(20000), "first");
  DWORD second = Print("Printer", Pattern(20000), "second");
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard guard(fake->lock);
    return fake->blocked;
  }));
  HANDLE printer = Open("Printer");
  std::vector<BYTE> block(3500);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  EXPECT_EQ(2u, reinterpret_cast<PRINTER_INFO_2W*>(block.data())->cJobs);
  ClosePrinter(printer);
  {
    std::vector<std::string> calls = Calls();
    EXPECT_EQ(1, std::count(calls.begin(), calls.end(), "OpenPort(VEK1)"));
  }
  {
    std::lock_guard guard(fake->lock);
    fake->released = true;
    fake->changed.notify_all();
  }
  EXPECT_EQ(JobState::Printed, WaitEnd(first).state);
  EXPECT_EQ(JobState::Printed, WaitEnd(second).state);
  EXPECT_EQ(Pattern(20000) + Pattern(20000), Received());
  std::vector<std::string> calls = Calls();
  std::erase_if(calls, [](const std::string& c) { return c.rfind("EnumPorts", 0) == 0; });
  ASSERT_EQ(8u, calls.size());
  EXPECT_EQ("ClosePort", calls[3]);  // the second job opened the port only after the first closed it
  EXPECT_EQ("OpenPort(VEK1)", calls[4]);
}

TEST_F(Jobs, ACancelThroughTheStoreReachesTheRunningJob) {
  fake->maxWrite = 100;
  fake->writeDelayMs = 2;
  fake->cancelAtEndDoc = false;
  DWORD job = Print("Printer", Pattern(100000));
  ASSERT_TRUE(WaitFor([&] { return Received().size() > 500; }));
  // What a cancel from another process writes.
  spooler::store::Key key;
  ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_LOCAL_MACHINE, std::string(spooler::store::kJobs) + "\\" + std::to_string(job)));
  ASSERT_EQ(ERROR_SUCCESS, spooler::store::WriteDword(key.get(), "CancelRequested", 1));
  JobRecord end = WaitEnd(job);
  EXPECT_EQ(JobState::Cancelled, end.state);
}

TEST_F(Jobs, AJobOfAProcessThatEndedIsAbandoned) {
  // A record left by a process that is gone.
  spooler::store::Key key;
  ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, std::string(spooler::store::kJobs) + "\\77"));
  spooler::store::WriteString(key.get(), "Printer", "Printer");
  spooler::store::WriteDword(key.get(), "State", static_cast<DWORD>(JobState::Printing));
  spooler::store::WriteDword(key.get(), "Owner", 0x7FFFFFF0);
  spooler::store::WriteDword(key.get(), "Size", 100);
  spooler::store::WriteDword(key.get(), "Written", 5000);  // more than its size: not believed
  JobRecord record;
  ASSERT_TRUE(spooler::ReadJob(77, &record));
  EXPECT_FALSE(record.ownerAlive);
  EXPECT_EQ(100u, record.written);
  EXPECT_EQ("Abandoned", spooler::DescribeJob(record));
  HANDLE printer = Open("Printer");
  std::vector<BYTE> block(3500);
  DWORD needed = 0;
  ASSERT_TRUE(GetPrinterW(printer, 2, block.data(), 3500, &needed));
  EXPECT_EQ(0u, reinterpret_cast<PRINTER_INFO_2W*>(block.data())->cJobs);
  EXPECT_TRUE(SetJobW(printer, 77, 0, nullptr, JOB_CONTROL_CANCEL));
  ClosePrinter(printer);
  ASSERT_TRUE(spooler::ReadJob(77, &record));
  EXPECT_EQ(JobState::Cancelled, record.state);

  // A record that is not one.
  ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_LOCAL_MACHINE, std::string(spooler::store::kJobs) + "\\78"));
  spooler::store::WriteDword(key.get(), "State", 99);
  EXPECT_FALSE(spooler::ReadJob(78, &record));
  EXPECT_EQ(1u, spooler::ListJobs().size());
}

TEST_F(Jobs, SpoolingRulesOfTheHandle) {
  HANDLE printer = Open("Printer");
  DWORD written = 0;
  EXPECT_FALSE(WritePrinter(printer, const_cast<char*>("x"), 1, &written));
  EXPECT_EQ(ERROR_SPL_NO_STARTDOC, GetLastError());
  EXPECT_FALSE(EndDocPrinter(printer));
  DOC_INFO_1A info{const_cast<char*>("doc"), nullptr, nullptr};
  DWORD job = StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(0u, job);
  EXPECT_EQ(0u, StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)));
  EXPECT_EQ(ERROR_BUSY, GetLastError());
  JobRecord record;
  ASSERT_TRUE(spooler::ReadJob(job, &record));
  EXPECT_EQ(JobState::Spooling, record.state);
  EXPECT_EQ("RAW", record.datatype);  // the printer's
  EXPECT_TRUE(AbortPrinter(printer));
  ASSERT_TRUE(spooler::ReadJob(job, &record));
  EXPECT_EQ(JobState::Cancelled, record.state);
  // A document left open when the handle closes is dropped.
  DWORD second = StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
  ASSERT_NE(0u, second);
  EXPECT_NE(job, second);
  ClosePrinter(printer);
  ASSERT_TRUE(spooler::ReadJob(second, &record));
  EXPECT_EQ(JobState::Cancelled, record.state);
  EXPECT_EQ(0, fake->writes);
}

}  // namespace
}  // namespace vek::test
