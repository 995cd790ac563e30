// The virtual card's command processing.
#include "tools/vcard/virtual_card.h"

#include <algorithm>

namespace quoll::vcard {

namespace {
Bytes Status(uint16_t sw) {
  return {static_cast<uint8_t>(sw >> 8), static_cast<uint8_t>(sw)};
}
Bytes WithStatus(Bytes data, uint16_t sw) {
  data.push_back(static_cast<uint8_t>(sw >> 8));
  data.push_back(static_cast<uint8_t>(sw));
  return data;
}
constexpr uint16_t kOk = 0x9000;
constexpr uint16_t kWrongLength = 0x6700;
constexpr uint16_t kEndOfFileReached = 0x6282;
constexpr uint16_t kNoCurrentEf = 0x6986;
constexpr uint16_t kConditionsNotSatisfied = 0x6985;
constexpr uint16_t kWrongParameters = 0x6A86;
constexpr uint16_t kFileNotFound = 0x6A82;
constexpr uint16_t kOffsetOutsideFile = 0x6B00;
constexpr uint16_t kUnknownInstruction = 0x6D00;
constexpr uint16_t kUnknownClass = 0x6E00;
constexpr uint8_t kChallengeLength = 8;
}  // namespace

VirtualCard::VirtualCard(Protocol protocol) : random_(std::random_device{}()) {
  // T=0: no interface bytes. T=1: TD1 announces T=1; TCK is the XOR of T0..TD1.
  atr_ = protocol == Protocol::T0 ? Bytes{0x3B, 0x00} : Bytes{0x3B, 0x80, 0x01, 0x81};
  // 0001: 16 bytes 00..0F; 0002: 256 bytes 00..FF; 0003: 32 bytes, written by tests.
  Bytes counting(256);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i);
  files_[0x0001] = Bytes(counting.begin(), counting.begin() + 16);
  files_[0x0002] = counting;
  files_[0x0003] = Bytes(32, 0x00);
}

void VirtualCard::Reset() {
  current_ = kMasterFile;
  pendingResponse_.clear();
}

bool VirtualCard::Parse(const Bytes& apdu, Command& c) {
  if (apdu.size() < 4) return false;
  c.cla = apdu[0];
  c.ins = apdu[1];
  c.p1 = apdu[2];
  c.p2 = apdu[3];
  c.data.clear();
  c.le = 0;
  if (apdu.size() == 4) return true;  // case 1
  size_t first = apdu[4];
  if (apdu.size() == 5) {  // case 2: Le 00 means 256
    c.le = first == 0 ? 256 : first;
    return true;
  }
  if (first == 0) return false;                                // extended lengths are not supported
  if (apdu.size() == 5 + first || apdu.size() == 6 + first) {  // case 3 or 4
    c.data.assign(apdu.begin() + 5, apdu.begin() + 5 + static_cast<std::ptrdiff_t>(first));
    if (apdu.size() == 6 + first) c.le = apdu.back() == 0 ? 256 : apdu.back();
    return true;
  }
  return false;
}

Bytes VirtualCard::Process(const Bytes& command) {
  Command c;
  if (!Parse(command, c)) return Status(kWrongLength);
  if (c.cla != 0x00) return Status(kUnknownClass);
  // Anything but GET RESPONSE drops a waiting response.
  if (c.ins != 0xC0) pendingResponse_.clear();
  switch (c.ins) {
    case 0xA4:
      return Select(c);
    case 0xC0:
      return GetResponse(c);
    case 0xB0:
      return ReadBinary(c);
    case 0xD6:
      return UpdateBinary(c);
    case 0x84:
      return GetChallenge(c);
    default:
      return Status(kUnknownInstruction);
  }
}

Bytes VirtualCard::Fci(uint16_t fid) const {
  // 6F: FCI template; 83: file identifier; 80: size (elementary files); 82: descriptor.
  Bytes fci = {0x6F, 0x00, 0x83, 0x02, static_cast<uint8_t>(fid >> 8), static_cast<uint8_t>(fid)};
  if (fid == kMasterFile) {
    fci.insert(fci.end(), {0x82, 0x01, 0x38});  // DF
  } else {
    size_t size = files_.at(fid).size();
    fci.insert(fci.end(), {0x80, 0x02, static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)});
    fci.insert(fci.end(), {0x82, 0x01, 0x01});  // transparent EF
  }
  fci[1] = static_cast<uint8_t>(fci.size() - 2);
  return fci;
}

Bytes VirtualCard::Select(const Command& c) {
  // By file identifier (P1 00, 01 or 02); P2 00 asks for the FCI, 0C for none. The card holds no
  // application, so a selection by name (P1 04) finds nothing.
  if (c.p1 == 0x04) return Status(kFileNotFound);
  if (c.p1 > 0x02 || (c.p2 != 0x00 && c.p2 != 0x0C)) return Status(kWrongParameters);
  if (c.data.size() != 2) return Status(kWrongLength);
  uint16_t fid = static_cast<uint16_t>(c.data[0] << 8 | c.data[1]);
  if (fid != kMasterFile && !files_.count(fid)) return Status(kFileNotFound);
  current_ = fid;
  if (c.p2 == 0x0C) return Status(kOk);
  pendingResponse_ = Fci(fid);
  return Status(static_cast<uint16_t>(0x6100 | pendingResponse_.size()));
}

Bytes VirtualCard::GetResponse(const Command& c) {
  if (c.p1 != 0 || c.p2 != 0) return Status(kWrongParameters);
  if (pendingResponse_.empty()) return Status(kConditionsNotSatisfied);
  if (c.le == 0 || !c.data.empty()) return Status(kWrongLength);
  size_t available = pendingResponse_.size();
  if (c.le > available && c.le != 256) return Status(static_cast<uint16_t>(0x6C00 | available));
  size_t n = std::min(c.le, available);
  Bytes out(pendingResponse_.begin(), pendingResponse_.begin() + static_cast<std::ptrdiff_t>(n));
  pendingResponse_.erase(pendingResponse_.begin(), pendingResponse_.begin() + static_cast<std::ptrdiff_t>(n));
  if (!pendingResponse_.empty())
    return WithStatus(out, static_cast<uint16_t>(0x6100 | pendingResponse_.size()));
  return WithStatus(out, kOk);
}

Bytes VirtualCard::ReadBinary(const Command& c) {
  if (!c.data.empty() || c.le == 0) return Status(kWrongLength);
  if (c.p1 & 0x80) return Status(kWrongParameters);  // short file identifiers are not supported
  auto file = files_.find(current_);
  if (file == files_.end()) return Status(kNoCurrentEf);
  size_t offset = static_cast<size_t>(c.p1) << 8 | c.p2;
  const Bytes& contents = file->second;
  if (offset >= contents.size()) return Status(kOffsetOutsideFile);
  size_t n = std::min(c.le, contents.size() - offset);
  Bytes out(contents.begin() + static_cast<std::ptrdiff_t>(offset),
            contents.begin() + static_cast<std::ptrdiff_t>(offset + n));
  return WithStatus(out, n < c.le ? kEndOfFileReached : kOk);
}

Bytes VirtualCard::UpdateBinary(const Command& c) {
  if (c.data.empty() || c.le != 0) return Status(kWrongLength);
  if (c.p1 & 0x80) return Status(kWrongParameters);
  auto file = files_.find(current_);
  if (file == files_.end()) return Status(kNoCurrentEf);
  size_t offset = static_cast<size_t>(c.p1) << 8 | c.p2;
  Bytes& contents = file->second;
  if (offset >= contents.size()) return Status(kOffsetOutsideFile);
  if (offset + c.data.size() > contents.size()) return Status(kWrongLength);
  std::copy(c.data.begin(), c.data.end(), contents.begin() + static_cast<std::ptrdiff_t>(offset));
  return Status(kOk);
}

Bytes VirtualCard::GetChallenge(const Command& c) {
  if (c.p1 != 0 || c.p2 != 0) return Status(kWrongParameters);
  if (!c.data.empty()) return Status(kWrongLength);
  // Without Le the card says how long its challenge is, as 6Cxx.
  if (c.le == 0) return Status(static_cast<uint16_t>(0x6C00 | kChallengeLength));
  Bytes out(c.le);
  for (auto& b : out) b = static_cast<uint8_t>(random_());
  return WithStatus(out, kOk);
}

}  // namespace quoll::vcard
