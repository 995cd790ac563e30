// An error raised inside a finally part replaces the error that was being passed on.
var
  zero: Integer;
  a: array of Integer;
begin
  zero := 0;
  a := [1];
  try
    zero := 1 div zero;
  finally
    Writeln('finally runs');    // expect: finally runs
    a[1] := 5;                  // expect error: out of range
  end;
end.
