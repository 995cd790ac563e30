// RESULT cannot name a parameter of a function.
function Twice(Result: Integer): Integer;   // expect compile error: duplicate identifier
// expect position at: Result
begin
end;

begin
end.
