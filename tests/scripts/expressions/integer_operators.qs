// DIV rounds toward zero, MOD takes the sign of the left operand; AND, OR, XOR are bitwise on
// integers; SHR is a logical shift at the left operand's width.
var
  b: Byte;
  s: ShortInt;
  i: Integer;

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
  Writeln(NumText(7 div 2));     // expect: 3
  Writeln(NumText(-7 div 2));    // expect: -3
  Writeln(NumText(7 div -2));    // expect: -3
  Writeln(NumText(7 mod 3));     // expect: 1
  Writeln(NumText(-7 mod 2));    // expect: -1
  Writeln(NumText(7 mod -2));    // expect: 1
  Writeln(NumText(12 and 10));   // expect: 8
  Writeln(NumText(12 or 10));    // expect: 14
  Writeln(NumText(12 xor 10));   // expect: 6
  Writeln(NumText(1 shl 10));    // expect: 1024
  Writeln(NumText(1024 shr 3));  // expect: 128
  Writeln(NumText(-1 shr 28));   // expect: 15
  b := 200;
  b := b shl 1;
  Writeln(NumText(b));           // expect: 144
  b := 200;
  i := b shr 1;
  Writeln(NumText(i));           // expect: 100
  s := -1;
  i := s shr 4;
  Writeln(NumText(i));           // expect: 15
  i := 6;
  i := i * 7 - i div 4;
  Writeln(NumText(i));           // expect: 41
end.
