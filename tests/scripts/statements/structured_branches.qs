// REPEAT and TRY statements work directly as the branch of IF or CASE and as the body of FOR
// and WHILE, taken or skipped.
var
  i, j, zero: Integer;
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
  zero := 0;
  i := 0;
  if true then
    repeat
      i := i + 1;
    until i = 3;
  Writeln('if-repeat ' + NumText(i));             // expect: if-repeat 3
  if false then
    repeat
      Writeln('skipped repeat');
    until true
  else
    Writeln('else after skipped repeat');         // expect: else after skipped repeat
  if true then
    try
      i := 1 div zero;
    except
      Writeln('if-try caught');                   // expect: if-try caught
    end;
  if false then
    try
      Writeln('skipped try');
      i := 1;
    except
      Writeln('skipped except');
    end
  else
    Writeln('else after skipped try');            // expect: else after skipped try
  if true then
    try
      Writeln('try in then part');                // expect: try in then part
    finally
      Writeln('finally in then part');            // expect: finally in then part
    end
  else
    Writeln('not run');
  case 2 of
    1: repeat Writeln('wrong branch') until true;
    2: repeat
         i := i + 1;
       until i >= 5;
  end;
  Writeln('case-repeat ' + NumText(i));           // expect: case-repeat 5
  case 1 of
    1: try
         i := 1 div zero;
       except
         Writeln('case-try caught');              // expect: case-try caught
       end;
    2: try Writeln('wrong branch'); finally Writeln('wrong finally'); end;
  end;
  s := '';
  for i := 1 to 3 do
    repeat
      s := s + NumText(i);
    until true;
  Writeln('for-repeat ' + s);                     // expect: for-repeat 123
  s := '';
  for i := 1 to 3 do
    try
      j := 6 div (i - 2);
      s := s + NumText(j);
    except
      s := s + 'E';
    end;
  Writeln('for-try ' + s);                        // expect: for-try -6E6
  i := 0;
  s := '';
  while i < 2 do
    repeat
      i := i + 1;
      s := s + 'r';
    until true;
  Writeln('while-repeat ' + s);                   // expect: while-repeat rr
  i := 0;
  while i < 2 do
    try
      i := i + 1;
    finally
      Writeln('while-try finally');               // expect: while-try finally
                                                  // expect: while-try finally
    end;
  Writeln('done');                                // expect: done
end.
