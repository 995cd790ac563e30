// A TRY in the main script catches a run-time error raised inside a unit's routine.
// cwd: units
uses MathUtil;

var
  k: Integer;

begin
  k := 5;
  try
    k := Ratio(1, 0);
    Writeln('not reached');
  except
    Writeln('caught the unit''s error');  // expect: caught the unit's error
  end;
  try
    try
      Announce('inside try');             // expect: MathUtil says inside try
      k := Ratio(2, 0);
    finally
      Writeln('finally after unit error');  // expect: finally after unit error
    end;
  except
    Writeln('passed on to the outer try');  // expect: passed on to the outer try
  end;
  if k = 5 then
    Writeln('k unchanged');               // expect: k unchanged
end.
