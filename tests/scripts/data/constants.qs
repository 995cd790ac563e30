// Constants are evaluated once when declared, may use earlier constants, and keep the type
// of their value.
const
  Max = 10;
  Half = Max div 2;
  Greeting = 'hi' + ' ' + 'there';
  Mask = $F0 or $0F;
  Ratio = 7 / 2;
  Flag = not False;
  Letter = #65;

var
  i, total: Integer;
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
  Writeln(NumText(Max + Half));      // expect: 15
  Writeln(Greeting);                 // expect: hi there
  Writeln(NumText(Mask));            // expect: 255
  r := Ratio;
  if r = 3.5 then
    Writeln('real constant');        // expect: real constant
  if Flag then
    Writeln('boolean constant');     // expect: boolean constant
  Writeln(Letter + Letter);          // expect: AA
  total := 0;
  for i := 1 to Max do
    total := total + i;
  Writeln(NumText(total));           // expect: 55
end.
