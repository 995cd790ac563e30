// A used unit's constants, types, variables and routines are visible by name; its routines
// run in the unit and share its variables.
// cwd: units
uses MathUtil;

var
  pair: TPair;

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
  Writeln(NumText(Twice(21)));            // expect: 42
  pair.A := 3;
  pair.B := 4;
  Writeln(NumText(SumPair(pair)));        // expect: 7
  Writeln(NumText(Base * 2));             // expect: 20
  Writeln(NumText(Calls));                // expect: 2
  Calls := 40;
  Writeln(NumText(Twice(1) + Calls));     // expect: 43
  Announce('hi');                         // expect: MathUtil says hi
  Writeln(NumText(Ratio(9, 2)));          // expect: 4
end.
