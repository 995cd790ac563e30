// Integer, hexadecimal and real literals; a literal that does not convert to a 32-bit integer
// (a lone $, a number too large) has the value -1.
var
  i: Integer;
  w: Word;
  r: Extended;

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
  Writeln(NumText(0));           // expect: 0
  Writeln(NumText(1234567));     // expect: 1234567
  Writeln(NumText(007));         // expect: 7
  Writeln(NumText($FF));         // expect: 255
  Writeln(NumText($ff + $10));   // expect: 271
  Writeln(NumText($7FFFFFFF));   // expect: 2147483647
  i := $;
  Writeln(NumText(i));           // expect: -1
  i := 99999999999;
  Writeln(NumText(i));           // expect: -1
  w := $12345;
  Writeln(NumText(w));           // expect: 9029
  r := 3.;
  if r = 3 then
    Writeln('3. is a real');     // expect: 3. is a real
  r := 2.25;
  if r * 4 = 9 then
    Writeln('2.25 * 4 = 9');     // expect: 2.25 * 4 = 9
end.
