// A run-time error inside a called routine is handled by the TRY around the call, also when
// the routine's own text (or text after it) holds other TRY statements.
var
  zero: Integer;

procedure Fail;
begin
  Writeln('in Fail');
  zero := 1 div zero;
  Writeln('not reached');
end;

procedure Other;
begin
  try
    Writeln('other');
  except
    Writeln('wrong handler');
  end;
end;

procedure Deeper;
begin
  try
    Fail;
  finally
    Writeln('Deeper finally');
  end;
end;

function Guarded: Integer;
begin
  Result := 1;
  try
    Fail;
    Result := 2;
  except
    Result := 3;
  end;
end;

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
    Fail;                         // expect: in Fail
    Writeln('not reached');
  except
    Writeln('caught in main');    // expect: caught in main
  end;
  try
    Deeper;                       // expect: in Fail
                                  // expect: Deeper finally
  except
    Writeln('caught from Deeper');  // expect: caught from Deeper
  end;
  Writeln(NumText(Guarded));      // expect: in Fail
                                  // expect: 3
  Other;                          // expect: other
end.
