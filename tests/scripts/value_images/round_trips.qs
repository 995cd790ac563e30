// Value images: the bytes of a number's storage, lowest address first, and back.
function Hex(s: string): string;
var
  i, b: Integer;
  c: string;
begin
  Result := '';
  c := '0123456789ABCDEF';
  for i := 1 to Length(s) do
  begin
    b := Ord(StrGet(s, i));
    Result := Result + StrGet(c, b div 16 + 1) + StrGet(c, b mod 16 + 1);
  end;
end;

var
  d: Double;
  e: Extended;
  sg: Single;
  s: string;
begin
  Writeln(Hex(TransformIntegertoString(1)) + ' ' + Hex(TransformIntegertoString(-2)) + ' ' + Hex(TransformWordtoString(258)));
  // expect: 01000000 FEFFFFFF 0201
  Writeln(Hex(TransformSmallInttoString(-1)) + ' ' + Hex(TransformBytetoString(255)) + ' ' + Hex(TransformShortIntToString(-128)));
  // expect: FFFF FF 80
  Writeln(IntToStr(TransformStringToInteger(#1#0#0#0)) + ' ' + IntToStr(TransformStringToInteger(#0#0#0#128)) + ' ' + IntToStr(TransformStringToSmallInt(#255#255)) + ' ' + IntToStr(TransformStringToWord(#255#255)));
  // expect: 1 -2147483648 -1 65535
  Writeln(IntToStr(TransformStringToByte(#200)) + ' ' + IntToStr(TransformStringToShortInt(#200)));
  // expect: 200 -56
  // IEEE double and single, and the 10-byte x87 extended format (PI: significand C90FDAA22168C235).
  Writeln(Hex(TransformDoubleToString(1.0)) + ' ' + Hex(TransformSingleToString(-2.0)) + ' ' + Hex(TransformExtendedToString(PI)));
  // expect: 000000000000F03F 000000C0 35C26821A2DA0FC90040
  d := 0.1;
  Writeln(FloatToStr(TransformStringToDouble(TransformDoubleToString(d)) - d));
  // expect: 0.000000000000
  e := PI;
  s := TransformExtendedToString(e);
  if TransformStringToExtended(s) = e then
    Writeln('extended round trip');
  // expect: extended round trip
  sg := 1.5;
  Writeln(FloatToStr(TransformStringToSingle(TransformSingleToString(sg))));
  // expect: 1.500000000000
  // Any bytes are accepted as a real, even a pattern that is not a number, and come back unchanged.
  s := TransformDoubleToString(TransformStringToDouble(#1#0#0#0#0#0#248#127));
  Writeln(Hex(s));
  // expect: 010000000000F87F
end.
