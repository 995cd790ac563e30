// A routine cannot take the name of an existing global variable.
var
  Total: Integer;

procedure Total;   // expect compile error: duplicate identifier
// expect position at: Total
begin
end;

begin
end.
