// A used unit's routines take their names: the script cannot declare another routine of the
// same name.
// cwd: units
uses MathUtil;

function Twice(k: Integer): Integer;   // expect compile error: duplicate identifier
// expect position at: Twice
begin
  Result := k + k;
end;

begin
end.
