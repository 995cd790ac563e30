// Every operand is evaluated, left to right, before any operator is applied: there is no
// short-circuit evaluation of AND and OR.
var
  x: Integer;
  b: Boolean;

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

function Trace(n: Integer): Integer;
begin
  Writeln('operand ' + NumText(n));
  Result := n;
end;

function Side(name: string; value: Boolean): Boolean;
begin
  Writeln('evaluated ' + name);
  Result := value;
end;

procedure Pair(first, second: Integer);
begin
  Writeln('pair ' + NumText(first) + ' ' + NumText(second));
end;

begin
  x := Trace(1) + Trace(2) * Trace(3);   // expect: operand 1
                                         // expect: operand 2
                                         // expect: operand 3
  Writeln(NumText(x));                   // expect: 7
  b := Side('left', false) and Side('right', true);  // expect: evaluated left
                                                     // expect: evaluated right
  if not b then
    Writeln('and gave false');           // expect: and gave false
  b := Side('first', true) or Side('second', false); // expect: evaluated first
                                                     // expect: evaluated second
  if b then
    Writeln('or gave true');             // expect: or gave true
  Pair(Trace(4), Trace(5));              // expect: operand 4
                                         // expect: operand 5
                                         // expect: pair 4 5
  // expect: operand 6
  // expect: operand 7
  // expect: both conditions evaluated
  if (Trace(6) > 0) or (Trace(7) > 0) then
    Writeln('both conditions evaluated');
end.
