// APDUs through pcscd to quoll-vcard: what the card answers comes back unchanged, status bytes
// last, as upper-case hex without blanks.
var a, b: string;
begin
  if OpenReader(1) then Writeln('open');
  // expect: open
  if OpenReader(1) then Writeln('still open');
  // expect: still open
  Writeln(SendAPDU(1, '00 a4 00 00 02 3f 00'));
  // expect: 6109
  Writeln(SendAPDU(1, '00C0000009'));
  // expect: 6F0783023F008201389000
  Writeln(SendAPDU(1, ' 00 A4 04 00 '));
  // expect: 6A82
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 02'));
  // expect: 9000
  Writeln(SendAPDU(1, '00 B0 00 00 00'));
  // expect: 000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F202122232425262728292A2B2C2D2E2F303132333435363738393A3B3C3D3E3F404142434445464748494A4B4C4D4E4F505152535455565758595A5B5C5D5E5F606162636465666768696A6B6C6D6E6F707172737475767778797A7B7C7D7E7F808182838485868788898A8B8C8D8E8F909192939495969798999A9B9C9D9E9FA0A1A2A3A4A5A6A7A8A9AAABACADAEAFB0B1B2B3B4B5B6B7B8B9BABBBCBDBEBFC0C1C2C3C4C5C6C7C8C9CACBCCCDCECFD0D1D2D3D4D5D6D7D8D9DADBDCDDDEDFE0E1E2E3E4E5E6E7E8E9EAEBECEDEEEFF0F1F2F3F4F5F6F7F8F9FAFBFCFDFEFF9000
  Writeln(SendAPDU(1, '00 A4 00 0C 02 00 03'));
  // expect: 9000
  Writeln(SendAPDU(1, '00 D6 00 04 03 CA FE 01'));
  // expect: 9000
  Writeln(SendAPDU(1, '00 B0 00 02 06'));
  // expect: 0000CAFE01009000
  Writeln(SendAPDU(1, '00 A4 00 00 02 12 34'));
  // expect: 6A82
  Writeln(SendAPDU(1, '00 FF 00 00'));
  // expect: 6D00
  Writeln(SendAPDU(1, '00 A4 00 00 05 3F 00'));
  // expect: 6700
  a := SendAPDU(1, '00 84 00 00 08');
  b := SendAPDU(1, '00 84 00 00 08');
  if a <> b then Writeln('challenges differ');
  // expect: challenges differ
  Sleep(-1);
  Sleep(0);
  Sleep(5);
  if CloseReader(1) then Writeln('closed');
  // expect: closed
  if CloseReader(1) then Writeln('closed again');
  // expect: closed again
  if CloseReader(2) then Writeln('never opened');
  // expect: never opened
end.
