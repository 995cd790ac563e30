// Three precedence levels (multiplying, adding, relational), each associating to the left.
var
  i: Integer;
  a, b, c: Boolean;

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

procedure Check(what: string; ok: Boolean);
begin
  if ok then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

begin
  Writeln(NumText(1 + 2 * 3));           // expect: 7
  Writeln(NumText((1 + 2) * 3));         // expect: 9
  Writeln(NumText(10 - 4 - 3));          // expect: 3
  Writeln(NumText(2 * 3 div 4));         // expect: 1
  Writeln(NumText(100 div 10 div 5));    // expect: 2
  Writeln(NumText(2 + 3 * 4 - 5));       // expect: 9
  Writeln(NumText(17 - 5 mod 3 * 2));    // expect: 13
  Writeln(NumText(1 + 1 shl 3));         // expect: 9
  Writeln(NumText(64 shr 2 shr 1));      // expect: 8
  Writeln(NumText(7 and 3 + 1));         // expect: 4
  Writeln(NumText(6 - 2 xor 1));         // expect: 5
  Writeln(NumText(1 or 2 * 2));          // expect: 5
  Writeln(NumText(-2 * -3));             // expect: 6
  Writeln(NumText(((((2))) + (3)) * (4 - (1 + 1)))); // expect: 10
  Check('1 < 2 = true', 1 < 2 = true);   // expect: 1 < 2 = true
  Check('2 > 1 = false is false', not (2 > 1 = false)); // expect: 2 > 1 = false is false
  a := false;
  b := false;
  c := false;
  Check('a and b = c', a and b = c);     // expect: a and b = c
  a := true;
  b := true;
  Check('not a or b', not a or b);       // expect: not a or b
  if not 1 = 0 then
    Writeln('not 1 = 0 FAILED')
  else
    Writeln('not 1 = 0 is false');       // expect: not 1 = 0 is false
  i := 3;
  Check('(i > 1) and (i < 5)', (i > 1) and (i < 5)); // expect: (i > 1) and (i < 5)
  Check('1 + 2 = 3', 1 + 2 = 3);         // expect: 1 + 2 = 3
end.
