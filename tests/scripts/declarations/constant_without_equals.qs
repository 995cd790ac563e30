// A constant is declared with =, not :=.
const
  Limit := 5;   // expect compile error: is expected
// expect position at: :
begin
end.
