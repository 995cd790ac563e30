// REPEAT loops run at least once and stop when the UNTIL condition is true; BREAK leaves
// without evaluating the condition; CONTINUE goes on to the condition.
var
  i, calls: Integer;
  s: string;

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

function Done(limit: Integer): Boolean;
begin
  calls := calls + 1;
  Result := i >= limit;
end;

begin
  i := 0;
  repeat
    i := i + 1;
  until i = 3;
  Writeln(NumText(i));                          // expect: 3
  repeat
    i := i + 10;
  until true;
  Writeln(NumText(i));                          // expect: 13
  i := 0;
  repeat
    if i > 1 then
      break;
    i := i + 1;
  until false;
  Writeln(NumText(i));                          // expect: 2
  i := 0;
  calls := 0;
  repeat
    i := i + 1;
    if i = 2 then
      break;
  until Done(5);
  Writeln(NumText(i) + ' ' + NumText(calls));   // expect: 2 1
  i := 0;
  s := '';
  repeat
    i := i + 1;
    if i = 2 then
      continue;
    s := s + NumText(i);
  until i >= 4;
  Writeln(s);                                   // expect: 134
  i := 0;
  calls := 0;
  repeat
    i := i + 1;
    continue;
  until Done(3);
  Writeln(NumText(i) + ' ' + NumText(calls));   // expect: 3 3
  i := 0;
  repeat
    i := i + 1;
    if i = 5 then
      Writeln('if without semicolon before until')  // expect: if without semicolon before until
  until i = 5;
  i := 0;
  repeat i := i + 1 until i = 4;
  Writeln(NumText(i));                          // expect: 4
  s := '';
  repeat
    repeat
      s := s + 'x';
    until true;
    s := s + '|';
  until s = 'x|x|';
  Writeln(s);                                   // expect: x|x|
end.
