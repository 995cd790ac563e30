// BREAK and CONTINUE inside a CASE branch or a TRY block reach the nearest enclosing loop;
// a FINALLY part on the way runs first, an EXCEPT part does not.
var
  i, j: Integer;
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

begin
  s := '';
  for i := 1 to 6 do
  begin
    case i of
      2: continue;
      5: break;
    end;
    s := s + NumText(i);
  end;
  Writeln('for-case ' + s + ' ' + NumText(i));  // expect: for-case 134 5
  s := '';
  i := 0;
  while i < 10 do
  begin
    i := i + 1;
    case i mod 4 of
      0: break;
      1, 2: continue;
    else
      s := s + NumText(i);
    end;
  end;
  Writeln('while-case ' + s);                   // expect: while-case 3
  s := '';
  for i := 1 to 4 do
  begin
    try
      if i = 2 then
        continue;
      if i = 3 then
        break;
      s := s + 'body' + NumText(i) + ' ';
    finally
      s := s + 'fin' + NumText(i) + ' ';
    end;
    s := s + 'after' + NumText(i) + ' ';
  end;
  Writeln(s + 'end');                 // expect: body1 fin1 after1 fin2 fin3 end
  s := '';
  for i := 1 to 3 do
  begin
    try
      if i = 2 then
        continue;
      s := s + NumText(i);
    except
      s := s + 'wrong';
    end;
  end;
  Writeln('for-try-except ' + s);     // expect: for-try-except 13
  s := '';
  i := 0;
  repeat
    i := i + 1;
    try
      if i = 3 then
        break;
    except
      s := s + 'wrong';
    end;
    s := s + NumText(i);
  until i = 10;
  Writeln('repeat-try ' + s + ' ' + NumText(i));  // expect: repeat-try 12 3
  s := '';
  for i := 1 to 2 do
    for j := 1 to 3 do
    begin
      try
        try
          if j = 2 then
            break;
          s := s + NumText(i) + NumText(j) + ' ';
        finally
          s := s + 'in ';
        end;
      finally
        s := s + 'out ';
      end;
    end;
  Writeln(s + 'end');  // expect: 11 in out in out 21 in out in out end
end.
