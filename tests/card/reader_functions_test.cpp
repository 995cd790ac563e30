// The reader functions as scripts meet them through the host, over the stand-in PC/SC library:
// the start-up line and missing functions without readers (and why, at every run), PC/SC started
// again by a later run, connections kept across runs, and the service's reason after an error.
#include "card/reader_functions.h"

#include <gtest/gtest.h>

#include "stand_in.h"
#include "test_support.h"

namespace quoll {
namespace {

using Lines = std::vector<std::string>;
using quoll_test::RecordingUi;
using quoll_test::StandIn;

class ReaderFunctions : public testing::Test {
 protected:
  void UseLibrary(const char* path) { setenv("QUOLL_PCSC_LIBRARY", path, 1); }
  ~ReaderFunctions() override { unsetenv("QUOLL_PCSC_LIBRARY"); }
};

TEST_F(ReaderFunctions, WithoutReadersTheyAreMissingAndTheStartUpSaysSo) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "readers=0");
  UseLibrary(standIn.Path());
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  EXPECT_EQ(ui.lines, (Lines{"PCSC Init error(Winscard.DLL not exist?), associated functions removed."}));
  int32_t pos = -1;
  EXPECT_FALSE(host.Run("begin\r\n  GetReaderCount;\r\nend.", pos));
  const std::string why = "PC/SC unavailable, reader functions removed: SCardListReaders: 0x8010002E";
  EXPECT_EQ(ui.lines,
            (Lines{why, "Script is running.", "Error in MAIN(9) unknown identifier: GETREADERCOUNT"}));
  // The cipher functions do not depend on PC/SC.
  EXPECT_TRUE(host.Run("begin Writeln(Des_MAC('0123456789ABCDEF', '112233')); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{why, "Script is running.", "11223380", "Script finished, no errors."}));
  // A reader plugged in later is there for the next run, without a restart.
  standIn.SetScenario("readers=1");
  EXPECT_TRUE(host.Run("begin Writeln(GetReaderName(GetReaderCount)); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "Stand-in Reader 0", "Script finished, no errors."}));
}

TEST_F(ReaderFunctions, ReaderListIsReadAgainOnlyWhileNoReaderIsConnected) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "readers=3");
  UseLibrary(standIn.Path());
  RecordingUi ui;
  ScriptHost host(ui);
  host.Initialize();
  int32_t pos = -1;
  ASSERT_TRUE(host.Run("begin Writeln(IntToStr(GetReaderCount)); OpenReader(1); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "3", "Script finished, no errors."}));
  // The connection's index points into the list, so the list stays while it is open.
  standIn.SetScenario("readers=1");
  ASSERT_TRUE(host.Run("begin Writeln(IntToStr(GetReaderCount)); CloseReader(1); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "3", "Script finished, no errors."}));
  ASSERT_TRUE(host.Run("begin Writeln(IntToStr(GetReaderCount)); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "1", "Script finished, no errors."}));
}

TEST_F(ReaderFunctions, ConnectionOutlivesTheRunAndShutdownUnpowersTheCard) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  UseLibrary(standIn.Path());
  RecordingUi ui;
  {
    ScriptHost host(ui);
    host.Initialize();
    EXPECT_TRUE(ui.lines.empty());
    int32_t pos = -1;
    ASSERT_TRUE(host.Run("begin OpenReader(1); OpenReader(1); Writeln(SendAPDU(1, '00 b0')); end.", pos));
    EXPECT_EQ(ui.lines, (Lines{"Script is running.", "00B09000", "Script finished, no errors."}));
    ASSERT_TRUE(host.Run("begin Writeln(SendAPDU(1, 'c0')); end.", pos));
    EXPECT_EQ(ui.lines, (Lines{"Script is running.", "C09000", "Script finished, no errors."}));
    EXPECT_EQ(standIn.Counters().connects, 1);
    EXPECT_EQ(standIn.Counters().disconnects, 0);
  }
  EXPECT_EQ(standIn.Counters().disconnects, 1);
  EXPECT_EQ(standIn.Counters().lastDisposition, static_cast<DWORD>(SCARD_UNPOWER_CARD));
}

TEST_F(ReaderFunctions, LibraryErrorsEndTheScriptWithTheirMessage) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "transmit=0x80100016");
  UseLibrary(standIn.Path());
  quoll_test::RunOutcome out =
      quoll_test::RunText("begin\r\n  OpenReader(2);\r\n  SendAPDU(2, '00');\r\nend.");
  EXPECT_FALSE(out.ok);
  ASSERT_EQ(out.lines.size(), 3u);
  EXPECT_TRUE(out.lines[1].starts_with("Error in MAIN(")) << out.lines[1];
  EXPECT_TRUE(out.lines[1].ends_with(") SCardTransmit error!")) << out.lines[1];
  // The stand-in has no texts of its own: the code alone.
  EXPECT_EQ(out.lines[2], "PC/SC: 0x80100016");
}

TEST_F(ReaderFunctions, AReasonFollowsOnlyTheErrorItBelongsTo) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "transmit=0x80100016");
  UseLibrary(standIn.Path());
  // The card error is caught; the run then fails for another reason, which has no PC/SC reason.
  quoll_test::RunOutcome out = quoll_test::RunText(
      "var i: Integer;\r\nbegin\r\n  OpenReader(1);\r\n  try SendAPDU(1, '00'); except end;\r\n"
      "  i := 0;\r\n  i := 1 div i;\r\nend.");
  EXPECT_FALSE(out.ok);
  ASSERT_FALSE(out.lines.empty());
  EXPECT_TRUE(out.lines.back().ends_with(") divide by zero")) << out.lines.back();
}

}  // namespace
}  // namespace quoll
