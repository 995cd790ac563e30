program CardText;
// The text work of card scripts: command APDUs built as hex texts, response hex texts cut back
// into bytes, byte loops with StrGet/StrSet, and checksums over a 64 KiB buffer held in a string.
// Keep in step with card_text.lua and card_text.py: all three print the same lines.

var
  HexDigits, apdu, dataHex, resp, buf: string;
  insCodes, nibbles, crcTable, maskKey: array of Integer;
  seed, n, j, k, lc, cla, ins, b, sw, hi, lo: Integer;
  hexLen, dataSum, cmdHash, badLc, respSum, okCount, errCount: Integer;
  i, c, pass, crc, xorAll, sum1, sum2, masked: Integer;

// Two upper-case hex digits of a byte, high nibble first: what IntToHex(value, 2) gives.
function HexByte(value: Integer): string;
begin
  Result := Copy(HexDigits, value div 16 + 1, 1) + Copy(HexDigits, value mod 16 + 1, 1);
end;

begin
  HexDigits := '0123456789ABCDEF';
  insCodes := [$A4, $B0, $D6, $CA];

  // The value of each hex digit by character code, -1 for any other character.
  SetArrayLength(nibbles, 256);
  for i := 0 to High(nibbles) do
    nibbles[i] := -1;
  for i := 1 to Length(HexDigits) do
    nibbles[Ord(StrGet(HexDigits, i))] := i - 1;

  // Command APDUs: CLA INS P1 P2 Lc, Lc data bytes, Le, as a hex text. Each is read back byte by
  // byte through the digit table; its data comes back as a response with a status word, which is
  // cut into bytes with Copy and StrToInt.
  seed := 12345;
  hexLen := 0;
  dataSum := 0;
  cmdHash := 0;
  badLc := 0;
  respSum := 0;
  okCount := 0;
  errCount := 0;
  for n := 0 to 1999 do
  begin
    cla := (n mod 4) * 4;
    ins := insCodes[n mod 4];
    seed := (seed * 1103 + 12345) mod 65521;
    lc := 8 + seed mod 40;
    dataHex := '';
    for j := 1 to lc do
    begin
      seed := (seed * 1103 + 12345) mod 65521;
      b := seed mod 256;
      dataSum := (dataSum + b) mod 65521;
      dataHex := dataHex + HexByte(b);
    end;
    apdu := HexByte(cla) + HexByte(ins) + HexByte(n div 256 mod 256) + HexByte(n mod 256) + HexByte(lc) +
      dataHex + '00';
    hexLen := hexLen + Length(apdu);

    for k := 0 to Length(apdu) div 2 - 1 do
    begin
      b := nibbles[Ord(StrGet(apdu, 2 * k + 1))] * 16 + nibbles[Ord(StrGet(apdu, 2 * k + 2))];
      cmdHash := (cmdHash * 31 + b) mod 1000003;
      if (k = 4) and (b <> lc) then
        badLc := badLc + 1;
    end;

    if n mod 7 = 0 then
      resp := dataHex + '6A82'
    else
      resp := dataHex + '9000';
    for k := 0 to Length(resp) div 2 - 3 do
      respSum := (respSum + StrToInt('$' + Copy(resp, 2 * k + 1, 2), -1)) mod 65521;
    sw := StrToInt('$' + Copy(resp, Length(resp) - 3, 4), -1);
    if sw = $9000 then
      okCount := okCount + 1
    else
      errCount := errCount + 1;
  end;
  Writeln('apdus hexLen=' + IntToStr(hexLen) + ' dataSum=' + IntToStr(dataSum) + ' cmdHash=' +
    IntToStr(cmdHash) + ' badLc=' + IntToStr(badLc));
  Writeln('responses respSum=' + IntToStr(respSum) + ' ok=' + IntToStr(okCount) + ' err=' +
    IntToStr(errCount));
  Writeln('last=' + Copy(apdu, 1, 40));

  // A 64 KiB buffer filled byte by byte, then masked in place with a rolling key.
  SetLength(buf, 65536);
  seed := 777;
  for i := 1 to 65536 do
  begin
    seed := (seed * 1103 + 12345) mod 65521;
    StrSet(Chr(seed mod 256), i, buf);
  end;
  maskKey := [$3C, $A5, $5A, $C3, $0F, $F0, $96, $69];
  masked := 0;
  for i := 1 to 65536 do
  begin
    c := Ord(StrGet(buf, i)) xor maskKey[i mod 8];
    StrSet(Chr(c), i, buf);
    if c < 16 then
      masked := masked + 1;
  end;
  Writeln('buffer length=' + IntToStr(Length(buf)) + ' low=' + IntToStr(masked) + ' head=' +
    HexByte(Ord(StrGet(buf, 1))) + HexByte(Ord(StrGet(buf, 2))) + HexByte(Ord(StrGet(buf, 3))));

  // CRC-16 with the CCITT polynomial 1021 hex, by a table of 256 entries.
  SetArrayLength(crcTable, 256);
  for i := 0 to High(crcTable) do
  begin
    c := i shl 8;
    for k := 1 to 8 do
      if (c and $8000) <> 0 then
        c := ((c shl 1) xor $1021) and $FFFF
      else
        c := (c shl 1) and $FFFF;
    crcTable[i] := c;
  end;

  // Every pass runs the CRC, an XOR and two running sums over every byte of the buffer;
  // each pass starts from the CRC the previous one ended with.
  crc := $FFFF;
  for pass := 1 to 3 do
  begin
    xorAll := 0;
    sum1 := 0;
    sum2 := 0;
    for i := 1 to 65536 do
    begin
      b := Ord(StrGet(buf, i));
      crc := ((crc shl 8) and $FFFF) xor crcTable[((crc shr 8) xor b) and $FF];
      xorAll := xorAll xor b;
      sum1 := (sum1 + b) mod 255;
      sum2 := (sum2 + sum1) mod 255;
    end;
    Writeln('pass ' + IntToStr(pass) + ' crc=' + HexByte(crc div 256) + HexByte(crc mod 256) + ' xor=' +
      IntToStr(xorAll) + ' sums=' + IntToStr(sum1) + '/' + IntToStr(sum2));
  end;
end.
