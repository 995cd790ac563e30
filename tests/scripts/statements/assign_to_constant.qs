// Constants are read-only variables: assigning to one fails.
const
  Limit = 10;
var
  x: Integer;
begin
  x := Limit;
  Writeln('read works');   // expect: read works
  Limit := 11;             // expect error: variable expected
end.
