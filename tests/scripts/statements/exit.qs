// EXIT ends the running routine and the caller goes on; a function keeps the result assigned
// before it. Inside TRY ... FINALLY the finally part runs first.
var
  i: Integer;

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

procedure Early(stop: Boolean);
begin
  Writeln('start');
  if stop then
    exit;
  Writeln('rest');
end;

function FirstOver(limit: Integer): Integer;
var
  k: Integer;
begin
  Result := -1;
  for k := 1 to 100 do
    if k * k > limit then
    begin
      Result := k;
      exit;
    end;
end;

function KeepsResult: string;
begin
  Result := 'assigned';
  exit;
  Result := 'overwritten';
end;

procedure WithFinally;
begin
  try
    Writeln('protected');
    exit;
    Writeln('not reached');
  finally
    Writeln('finally before leaving');
  end;
  Writeln('not reached after try');
end;

procedure Outer;
begin
  Early(true);
  Writeln('outer goes on');
end;

begin
  Early(true);                   // expect: start
  Early(false);                  // expect: start
                                 // expect: rest
  Writeln(NumText(FirstOver(50)));   // expect: 8
  Writeln(KeepsResult);          // expect: assigned
  WithFinally;                   // expect: protected
                                 // expect: finally before leaving
  Outer;                         // expect: start
                                 // expect: outer goes on
  i := 0;
  while true do
  begin
    i := i + 1;
    if i = 3 then
      exit;
  end;
  Writeln('not reached');
end.
