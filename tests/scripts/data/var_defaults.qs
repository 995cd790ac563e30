// Global variables start at zero values: 0, empty text, false, 0.0, empty arrays.
type
  TCount = Integer;

var
  i: Integer;
  b: Byte;
  n: TCount;
  s: string;
  ok: Boolean;
  r: Real;

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
  Writeln(NumText(i + b + n));       // expect: 0
  Writeln('[' + s + ']');            // expect: []
  if not ok then
    Writeln('false');                // expect: false
  if r = 0 then
    Writeln('0.0');                  // expect: 0.0
  n := 7;
  i := n;
  Writeln(NumText(i));               // expect: 7
end.
