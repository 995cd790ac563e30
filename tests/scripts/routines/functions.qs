// Function results: RESULT and the function's own name are the same variable; inside the
// function its bare name reads that variable, while Name() calls it again. A result that is
// never assigned is the zero value of its type.
var
  calls, x: Integer;

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

function ViaResult: Integer;
begin
  Result := 5;
end;

function ViaName: Integer;
begin
  ViaName := 6;
end;

function Mixed: Integer;
begin
  Result := 1;
  Mixed := Result + 1;
  Mixed := Mixed * 10;
  Result := Result + 1;
end;

function Tick: Integer;
begin
  calls := calls + 1;
  if calls < 3 then
    Tick := Tick() + 10
  else
    Tick := 1;
end;

function NoResultInt: Integer;
begin
end;

function NoResultStr: string;
begin
end;

function NoResultBool: Boolean;
begin
end;

function Twice(value: Integer): Integer;
begin
  Result := value * 2;
end;

function Quad(value: Integer): Integer;
begin
  Result := Twice(Twice(value));
end;

function Noisy: Integer;
begin
  Writeln('noisy ran');
  Result := 1;
end;

begin
  Writeln(NumText(ViaResult));      // expect: 5
  Writeln(NumText(ViaName));        // expect: 6
  Writeln(NumText(Mixed));          // expect: 21
  calls := 0;
  Writeln(NumText(Tick));           // expect: 21
  Writeln(NumText(calls));          // expect: 3
  Writeln(NumText(NoResultInt));    // expect: 0
  Writeln('[' + NoResultStr + ']'); // expect: []
  if not NoResultBool then
    Writeln('false by default');    // expect: false by default
  Writeln(NumText(Quad(3)));        // expect: 12
  x := ViaResult() + ViaName();
  Writeln(NumText(x));              // expect: 11
  Noisy;                            // expect: noisy ran
  Noisy();                          // expect: noisy ran
end.
