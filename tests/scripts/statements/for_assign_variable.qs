// The FOR variable is read-only while its loop runs.
var
  i: Integer;
begin
  for i := 1 to 3 do
  begin
    Writeln('pass');   // expect: pass
    i := 10;           // expect error: variable expected
  end;
end.
