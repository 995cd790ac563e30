// Integer types keep their width: stores truncate, arithmetic wraps at the left operand's
// width, and literals are read into the destination's type (except BYTE); inside parentheses
// the destination is untyped, so literals there are LONGINT.
var
  b: Byte;
  s: ShortInt;
  w: Word;
  sm: SmallInt;
  c: Cardinal;
  i: Integer;
  l: LongInt;

function NumText(value: Integer): string;
var
  negative: Boolean;
begin
  Result := '';
  negative := value < 0;
  if negative then
    value := -value;
  repeat
    case value mod 10 of
      0: Result := '0' + Result;
      1: Result := '1' + Result;
      2: Result := '2' + Result;
      3: Result := '3' + Result;
      4: Result := '4' + Result;
      5: Result := '5' + Result;
      6: Result := '6' + Result;
      7: Result := '7' + Result;
      8: Result := '8' + Result;
      9: Result := '9' + Result;
    end;
    value := value div 10;
  until value = 0;
  if negative then
    Result := '-' + Result;
end;

begin
  b := 300;
  Writeln(NumText(b));           // expect: 44
  b := 200;
  i := b + 100;
  Writeln(NumText(i));           // expect: 44
  i := 200;
  i := i + 100;
  Writeln(NumText(i));           // expect: 300
  i := 100 + b;
  Writeln(NumText(i));           // expect: 300
  b := 255;
  b := b + 1;
  Writeln(NumText(b));           // expect: 0
  s := 127 + 1;
  Writeln(NumText(s));           // expect: -128
  s := 200;
  Writeln(NumText(s));           // expect: -56
  w := 70000 div 7;
  Writeln(NumText(w));           // expect: 637
  w := (70000) div 7;
  Writeln(NumText(w));           // expect: 10000
  w := 0;
  w := w - 1;
  Writeln(NumText(w));           // expect: 65535
  sm := 40000;
  Writeln(NumText(sm));          // expect: -25536
  sm := -32768;
  sm := sm - 1;
  Writeln(NumText(sm));          // expect: 32767
  c := 0;
  c := c - 1;
  i := c div 16;
  Writeln(NumText(i));           // expect: 268435455
  i := c mod 10;
  Writeln(NumText(i));           // expect: 5
  i := c;
  Writeln(NumText(i));           // expect: -1
  i := 2147483647;
  i := i + 2;
  Writeln(NumText(i));           // expect: -2147483647
  i := 65536;
  i := i * i + 5;
  Writeln(NumText(i));           // expect: 5
  l := 5;
  i := l;
  b := i + 253;
  Writeln(NumText(b));           // expect: 2
  b := 3;
  s := b;
  w := s - 4;
  Writeln(NumText(w));           // expect: 65535
end.
