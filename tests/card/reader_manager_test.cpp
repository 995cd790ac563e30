// The reader manager's corner cases, through the stand-in PC/SC library.
#include "card/reader_manager.h"

#include <gtest/gtest.h>

#include <functional>

#include "card/card_error.h"
#include "stand_in.h"

namespace quoll {
namespace {

using quoll_test::StandIn;

std::string ErrorOf(std::function<void()> call) {
  try {
    call();
  } catch (const CardError& e) {
    return e.what();
  }
  return "no error";
}

TEST(ReaderManager, ListsReadersAndChecksIndexes) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  EXPECT_EQ(manager.ReaderCount(), 2);
  EXPECT_EQ(manager.ReaderName(1), "Stand-in Reader 0");
  EXPECT_EQ(manager.ReaderName(2), "Stand-in Reader 1");
  for (int index : {0, 3, -1})
    EXPECT_EQ(ErrorOf([&] { manager.Connect(index); }), "Not a valid reader index, shoud be 1..2");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00"); }), "reader not open; use OpenReader first.");
  EXPECT_TRUE(manager.Disconnect(2));  // not connected: nothing is called
  EXPECT_EQ(standIn.Counters().connects, 0);
  EXPECT_EQ(standIn.Counters().disconnects, 0);
}

TEST(ReaderManager, StartFailsWithoutLibraryContextOrReaders) {
  EXPECT_FALSE(ReaderManager("/nonexistent/libpcsclite.so.1").EnumerateReaders());
  StandIn standIn(QUOLL_STAND_IN_PCSC, "readers=0");
  EXPECT_FALSE(ReaderManager(standIn.Path()).EnumerateReaders());
  standIn.SetScenario("establish=0x8010001D");  // no service
  EXPECT_FALSE(ReaderManager(standIn.Path()).EnumerateReaders());
}

TEST(ReaderManager, ConnectsOnceAndPicksTheSendRecordByProtocol) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "protocol=2");
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  ReaderConnection& first = manager.Connect(1);
  EXPECT_EQ(&manager.Connect(1), &first);
  EXPECT_EQ(standIn.Counters().connects, 1);
  EXPECT_EQ(manager.Transmit(1, "00 a4 04 00"), "00A404009000");
  EXPECT_EQ(standIn.Counters().lastSendProtocol, static_cast<DWORD>(SCARD_PROTOCOL_T1));
  standIn.SetScenario("protocol=1");
  manager.Connect(2);
  manager.Transmit(2, "00");
  EXPECT_EQ(standIn.Counters().lastSendProtocol, static_cast<DWORD>(SCARD_PROTOCOL_T0));
}

TEST(ReaderManager, ResultCodesFailOnlyWithTheTopBitOfTheir32Bits) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  standIn.SetScenario("connect=0x80100069");  // "card removed", a positive 64-bit LONG
  EXPECT_EQ(ErrorOf([&] { manager.Connect(1); }), "SCardConnect error!");
  standIn.SetScenario("connect=0x7FFFFFFF");
  manager.Connect(1);
  standIn.SetScenario("transmit=1");
  EXPECT_EQ(manager.Transmit(1, "9000"), "90009000");
  standIn.SetScenario("transmit=0x8010000C");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00"); }), "SCardTransmit error!");
  standIn.SetScenario("");
  EXPECT_EQ(manager.Transmit(1, "00"), "009000");  // still connected after the failure
}

TEST(ReaderManager, ResponseLengthOf2048IsAcceptedAnd2049Refused) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "length=2048");
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.Connect(1);
  std::string expected;
  for (int i = 0; i < 2048; ++i) expected += "A5";
  EXPECT_EQ(manager.Transmit(1, "00B00000"), expected);
  standIn.SetScenario("length=2049");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00B00000"); }), "SCardTransmit error!");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00B0000"); }), "String can not be odd!");
}

TEST(ReaderManager, FailedDisconnectEmptiesTheSlotAndIsReported) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "disconnect=0x80100009");
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.Connect(1);
  EXPECT_EQ(ErrorOf([&] { manager.Disconnect(1); }), "SCardDisconnect error!");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00"); }), "reader not open; use OpenReader first.");
  EXPECT_EQ(standIn.Counters().lastDisposition, static_cast<DWORD>(SCARD_UNPOWER_CARD));
}

TEST(ReaderManager, DestructionUnpowersEveryConnectedCardAndReleasesTheContext) {
  StandIn standIn(QUOLL_STAND_IN_PCSC, "readers=3");
  {
    ReaderManager manager(standIn.Path());
    ASSERT_TRUE(manager.EnumerateReaders());
    manager.Connect(1);
    manager.Connect(3);
  }
  EXPECT_EQ(standIn.Counters().disconnects, 2);
  EXPECT_EQ(standIn.Counters().lastDisposition, static_cast<DWORD>(SCARD_UNPOWER_CARD));
  EXPECT_EQ(standIn.Counters().releases, 1);
}

TEST(ReaderManager, MissingEntryPointFailsCleanly) {
  StandIn standIn(QUOLL_STAND_IN_PCSC_NO_TRANSMIT);
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.Connect(1);
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(1, "00A40400"); }), "SCardTransmit error!");
}

}  // namespace
}  // namespace quoll
