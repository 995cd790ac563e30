// FOR loops: TO and DOWNTO, bounds evaluated once and converted to the variable's type, the
// variable's value after the loop, BREAK and CONTINUE.
var
  i, j, n: Integer;
  b: Byte;
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

function Limit(value: Integer): Integer;
begin
  Writeln('bound evaluated');
  Result := value;
end;

procedure CountLocal;
var
  k: Integer;
begin
  s := '';
  for k := 1 to 3 do
    s := s + NumText(k);
  Writeln('local ' + s + ' ' + NumText(k));
end;

begin
  s := '';
  for i := 1 to 3 do
    s := s + 'a';
  Writeln(s + ' ' + NumText(i));           // expect: aaa 3
  s := '';
  for i := 3 downto 1 do
    s := s + NumText(i);
  Writeln(s + ' ' + NumText(i));           // expect: 321 1
  n := 0;
  for i := 5 to 1 do
    n := n + 1;
  Writeln(NumText(n) + ' ' + NumText(i));  // expect: 0 1
  for i := 1 downto 5 do
    n := n + 1;
  Writeln(NumText(n) + ' ' + NumText(i));  // expect: 0 5
  for i := 2 to 2 do
    n := n + 1;
  Writeln(NumText(n) + ' ' + NumText(i));  // expect: 1 2
  n := 0;
  for i := Limit(1) to Limit(4) do         // expect: bound evaluated
    n := n + 1;                            // expect: bound evaluated
  Writeln(NumText(n));                     // expect: 4
  n := 0;
  for b := 1 to 260 do
    n := n + 1;
  Writeln(NumText(n) + ' ' + NumText(b));  // expect: 4 4
  for i := 1 to 10 do
    if i = 4 then
      break;
  Writeln(NumText(i));                     // expect: 4
  s := '';
  for i := 1 to 5 do
  begin
    if i mod 2 = 0 then
      continue;
    s := s + NumText(i);
  end;
  Writeln(s + ' ' + NumText(i));           // expect: 135 5
  s := '';
  for i := 1 to 3 do
    for j := i to 3 do
      s := s + NumText(i) + NumText(j) + '.';
  Writeln(s);                              // expect: 11.12.13.22.23.33.
  s := '';
  for i := 1 to 3 do
  begin
    for j := 1 to 3 do
    begin
      if j = 2 then
        break;
      s := s + NumText(i) + NumText(j) + '.';
    end;
  end;
  Writeln(s);                              // expect: 11.21.31.
  n := 3;
  s := '';
  for i := 1 to n do
  begin
    n := 10;
    s := s + NumText(i);
  end;
  Writeln(s);                              // expect: 123
  i := 7;
  Writeln(NumText(i));                     // expect: 7
  CountLocal;                              // expect: local 123 3
  n := 0;
  try
    for i := 1 to 3 do
      n := n div (2 - i);
  except
    Writeln('loop failed at ' + NumText(i));  // expect: loop failed at 2
  end;
  i := 42;
  Writeln('variable writable again ' + NumText(i));  // expect: variable writable again 42
end.
