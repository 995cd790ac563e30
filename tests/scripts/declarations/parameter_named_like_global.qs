// Parameter names may not repeat a global declared before the routine.
var
  count: Integer;

procedure Report(count: Integer);   // expect compile error: duplicate identifier
// expect position at: count
begin
end;

begin
end.
