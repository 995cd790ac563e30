// The reader functions as scripts meet them through the host, over the stand-in PC/SC library:
// the start-up line and missing functions without readers, and connections kept across runs.
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
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "Error in MAIN(9) unknown identifier: GETREADERCOUNT"}));
  // The cipher functions do not depend on PC/SC.
  EXPECT_TRUE(host.Run("begin Writeln(Des_MAC('0123456789ABCDEF', '112233')); end.", pos));
  EXPECT_EQ(ui.lines, (Lines{"Script is running.", "11223380", "Script finished, no errors."}));
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
  ASSERT_EQ(out.lines.size(), 2u);
  EXPECT_TRUE(out.lines[1].starts_with("Error in MAIN(")) << out.lines[1];
  EXPECT_TRUE(out.lines[1].ends_with(") SCardTransmit error!")) << out.lines[1];
}

}  // namespace
}  // namespace quoll
