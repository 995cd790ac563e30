// TRY ... EXCEPT catches run-time errors: the rest of the protected part is skipped, the
// handler runs and execution goes on after END. Without an error the handler is skipped.
type
  TInts = array of Integer;

var
  i, zero: Integer;
  a: TInts;
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
  try
    Writeln('protected');                 // expect: protected
    i := 1 div zero;
    Writeln('not reached');
  except
    Writeln('handler');                   // expect: handler
  end;
  Writeln('after');                       // expect: after
  try
    Writeln('no error');                  // expect: no error
  except
    Writeln('handler not run');
    case i of
      1: begin Writeln('nested block in skipped handler') end;
    end;
    try Writeln('x') except Writeln('y') end;
    repeat Writeln('z') until true;
  end;
  Writeln('handler skipped');             // expect: handler skipped
  a := [1, 2, 3];
  try
    i := a[3];
  except
    Writeln('out of range caught');       // expect: out of range caught
  end;
  s := '';
  for i := 0 to 3 do
  begin
    try
      s := s + NumText(a[i]);
    except
      s := s + '?';
    end;
  end;
  Writeln(s);                             // expect: 123?
  i := 5;
  try
    i := 6;
    i := i div zero;
    i := 7;
  except
  end;
  Writeln('no rollback ' + NumText(i));   // expect: no rollback 6
  try
    i := 1 div zero;
  except
    Writeln('caught again');              // expect: caught again
  end;
  i := a[-1];                             // expect error: out of range
end.
