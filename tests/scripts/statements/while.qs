// WHILE loops: the condition is checked before every pass; after BREAK it is evaluated once
// more (its value unused); CONTINUE goes on with the next check.
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

function Below(limit: Integer): Boolean;
begin
  calls := calls + 1;
  Result := i < limit;
end;

begin
  i := 0;
  while i < 3 do
    i := i + 1;
  Writeln(NumText(i));                        // expect: 3
  while i < 0 do
    Writeln('never');
  i := 0;
  calls := 0;
  while Below(10) do
  begin
    i := i + 1;
    if i = 2 then
      break;
  end;
  Writeln(NumText(i) + ' ' + NumText(calls)); // expect: 2 3
  i := 0;
  s := '';
  while i < 6 do
  begin
    i := i + 1;
    if i mod 3 = 0 then
      continue;
    s := s + NumText(i);
  end;
  Writeln(s);                                 // expect: 1245
  i := 0;
  s := '';
  while true do
  begin
    i := i + 1;
    if i > 3 then
      break
    else
      s := s + '*';
  end;
  Writeln(s);                                 // expect: ***
end.
