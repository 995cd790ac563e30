// A nested FOR cannot reuse the variable of a running loop.
var
  i: Integer;
begin
  for i := 1 to 2 do
  begin
    Writeln('outer');          // expect: outer
    for i := 1 to 2 do         // expect error: variable expected
      Writeln('inner');
  end;
end.
