// A small ISO/IEC 7816-4 card for tests and for users without hardware: a master file 3F00 with
// a few transparent elementary files, SELECT by file identifier (answered with 61xx so that GET
// RESPONSE returns the FCI), READ BINARY, UPDATE BINARY and GET CHALLENGE.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace quoll::vcard {

using Bytes = std::vector<uint8_t>;

class VirtualCard {
 public:
  enum class Protocol { T0, T1 };
  explicit VirtualCard(Protocol protocol);

  const Bytes& Atr() const { return atr_; }
  // Power on, power off and reset all bring the card back to its state after reset: the master
  // file selected, no response waiting. File contents stay.
  void Reset();
  // Answers one command APDU (short form) with its response APDU, SW1 SW2 last.
  Bytes Process(const Bytes& command);

  // The files of the card (identifier, initial contents); the master file is 3F00.
  static constexpr uint16_t kMasterFile = 0x3F00;

 private:
  struct Command {
    uint8_t cla, ins, p1, p2;
    Bytes data;
    size_t le = 0;  // 0: no Le; 1..256 expected bytes
  };
  static bool Parse(const Bytes& apdu, Command& c);
  Bytes Select(const Command& c);
  Bytes GetResponse(const Command& c);
  Bytes ReadBinary(const Command& c);
  Bytes UpdateBinary(const Command& c);
  Bytes GetChallenge(const Command& c);
  Bytes Fci(uint16_t fid) const;

  Bytes atr_;
  std::map<uint16_t, Bytes> files_;  // elementary files by identifier
  uint16_t current_ = kMasterFile;
  Bytes pendingResponse_;  // what GET RESPONSE returns next
  std::mt19937 random_;
};

}  // namespace quoll::vcard
