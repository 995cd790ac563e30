// Prefix operators apply in the order they are written, the leftmost first; NOT is a
// bitwise complement on integers at their width.
var
  i: Integer;
  b: Byte;
  s: ShortInt;
  ok: Boolean;

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
  Writeln(NumText(-not 5));      // expect: 4
  Writeln(NumText(not -5));      // expect: 6
  Writeln(NumText(- - 3));       // expect: 3
  Writeln(NumText(- - - 3));     // expect: -3
  Writeln(NumText(+5));          // expect: 5
  Writeln(NumText(+ - + 5));     // expect: -5
  Writeln(NumText(not 0));       // expect: -1
  i := 7;
  Writeln(NumText(-i + 10));     // expect: 3
  b := 1;
  b := not b;
  Writeln(NumText(b));           // expect: 254
  b := 1;
  b := -b;
  Writeln(NumText(b));           // expect: 255
  s := 0;
  s := not s;
  Writeln(NumText(s));           // expect: -1
  ok := not true;
  if not ok then
    Writeln('not true is false'); // expect: not true is false
  ok := not not true;
  if ok then
    Writeln('not not true');     // expect: not not true
end.
