// The reader manager's corner cases, through the stand-in PC/SC library.
#include "card/reader_manager.h"

#include <gtest/gtest.h>

#include <functional>

#include "card/card_error.h"
#include "card/trace_sink.h"
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

// The message and the service's reason of the error a call raises.
std::pair<std::string, std::string> FailureOf(std::function<void()> call) {
  try {
    call();
  } catch (const CardError& e) {
    return {e.what(), e.Reason()};
  }
  return {"no error", ""};
}

class RecordingTrace : public TraceSink {
 public:
  void Record(const ExchangeRecord& record) override { records.push_back(record); }
  std::vector<ExchangeRecord> records;
};

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

// The results that mean the service went away: the connections go, a new context is made once,
// and connecting works again; other failures keep the connection.
TEST(ReaderManager, ServiceLostDropsConnectionsAndEstablishesANewContextOnce) {
  struct Case {
    const char* failure;
    bool lost;
  };
  for (const Case& c : {Case{"0x8010001D", true}, Case{"0x8010001E", true}, Case{"0x80100003", true},
                        Case{"0x80100013", true}, Case{"0x80100069", false}}) {
    SCOPED_TRACE(c.failure);
    StandIn standIn(QUOLL_STAND_IN_PCSC);
    ReaderManager manager(standIn.Path());
    ASSERT_TRUE(manager.EnumerateReaders());
    manager.Connect(1);
    standIn.SetScenario(std::string("transmit=") + c.failure);
    EXPECT_EQ(FailureOf([&] { manager.Transmit(1, "00"); }),
              std::make_pair(std::string("SCardTransmit error!"), std::string(c.failure)));
    EXPECT_EQ(standIn.Counters().establishes, c.lost ? 2 : 1);
    EXPECT_EQ(manager.AnyConnected(), !c.lost);
    standIn.SetScenario("");
    manager.Connect(1);
    EXPECT_EQ(manager.Transmit(1, "00"), "009000");
    EXPECT_EQ(standIn.Counters().connects, c.lost ? 2 : 1);
  }
}

TEST(ReaderManager, AStoppedServiceIsAskedAgainAtEveryConnection) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.Connect(2);
  standIn.SetScenario("transmit=0x8010001E;establish=0x8010001D");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(2, "00"); }), "SCardTransmit error!");
  EXPECT_EQ(FailureOf([&] { manager.Connect(2); }),
            std::make_pair(std::string("SCardConnect error!"), std::string("0x8010001D")));
  EXPECT_EQ(standIn.Counters().establishes, 3);  // start, after the loss, at the connection
  standIn.SetScenario("");
  manager.Connect(2);
  EXPECT_EQ(manager.Transmit(2, "A0"), "A09000");
  // The script-visible names stay those of the list.
  EXPECT_EQ(manager.ConnectedReaderNames(), std::vector<std::string>{"Stand-in Reader 1"});
}

TEST(ReaderManager, RefreshReadsTheListAgainOnlyWithoutConnections) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  ReaderManager manager(standIn.Path());
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.Connect(1);
  standIn.SetScenario("readers=3");
  EXPECT_TRUE(manager.RefreshReaders());
  EXPECT_EQ(manager.ReaderCount(), 2);
  manager.Disconnect(1);
  EXPECT_TRUE(manager.RefreshReaders());
  EXPECT_EQ(manager.ReaderCount(), 3);
  standIn.SetScenario("readers=0");
  EXPECT_FALSE(manager.RefreshReaders());
  EXPECT_EQ(manager.FailureReason(), "SCardListReaders: 0x8010002E");
  standIn.SetScenario("establish=0x8010001D");
  EXPECT_FALSE(manager.RefreshReaders());
  EXPECT_EQ(manager.FailureReason(), "SCardEstablishContext: 0x8010001D");
  EXPECT_EQ(ReaderManager("/nonexistent/libpcsclite.so.1").EnumerateReaders(), false);
}

// Every call that reached the service is one record, failures with their reason; a call that
// failed before (a bad index, bad hex) is none.
TEST(ReaderManager, TraceRecordsEveryExchangeInOrder) {
  StandIn standIn(QUOLL_STAND_IN_PCSC);
  ReaderManager manager(standIn.Path());
  RecordingTrace trace;
  manager.SetTrace(&trace);
  ASSERT_TRUE(manager.EnumerateReaders());
  manager.SetStatementPlace({"TEST", 42, 0});
  manager.Connect(2);
  manager.Transmit(2, "00 B0 00 00 02");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(2, "0"); }), "String can not be odd!");
  standIn.SetScenario("transmit=0x80100016");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(2, "00"); }), "SCardTransmit error!");
  standIn.SetScenario("transmit=0x8010001D");
  EXPECT_EQ(ErrorOf([&] { manager.Transmit(2, "01"); }), "SCardTransmit error!");
  standIn.SetScenario("");
  manager.Connect(2);
  manager.Disconnect(2);
  struct Expected {
    ExchangeKind kind;
    Bytes command, response;
    std::string failure, detail;
  };
  const std::vector<Expected> expected = {
      {ExchangeKind::kConnect, {}, {}, "", "T=0"},
      {ExchangeKind::kTransmit,
       {0x00, 0xB0, 0x00, 0x00, 0x02},
       {0x00, 0xB0, 0x00, 0x00, 0x02, 0x90, 0x00},
       "",
       ""},
      {ExchangeKind::kTransmit, {0x00}, {}, "0x80100016", ""},
      {ExchangeKind::kTransmit, {0x01}, {}, "0x8010001D", ""},
      {ExchangeKind::kContext, {}, {}, "", "new context after: 0x8010001D"},
      {ExchangeKind::kConnect, {}, {}, "", "T=0"},
      {ExchangeKind::kDisconnect, {}, {}, "", ""},
  };
  ASSERT_EQ(trace.records.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const ExchangeRecord& r = trace.records[i];
    EXPECT_EQ(r.kind, expected[i].kind);
    EXPECT_EQ(r.command, expected[i].command);
    EXPECT_EQ(r.response, expected[i].response);  // the stand-in has no SCardStatus: no ATR
    EXPECT_EQ(r.failure, expected[i].failure);
    EXPECT_EQ(r.detail, expected[i].detail);
    EXPECT_EQ(r.readerIndex, r.kind == ExchangeKind::kContext ? 0 : 2);
    EXPECT_EQ(r.readerName, r.kind == ExchangeKind::kContext ? "" : "Stand-in Reader 1");
    EXPECT_EQ(r.place.module, "TEST");
    EXPECT_EQ(r.place.position, 42);
    EXPECT_GT(r.wallTime.tv_sec, 0);
    EXPECT_GE(r.durationNs, 0);
  }
}

}  // namespace
}  // namespace quoll
