// A variable's type must be known.
var
  ok: Boolean;
  thing: TMissing;   // expect compile error: unknown identifier: TMISSING
// expect position at: TMissing
begin
end.
