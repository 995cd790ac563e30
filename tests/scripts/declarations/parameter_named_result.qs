// RESULT cannot name a parameter of a function.
function Twice(Result: Integer): Integer;   // expect compile error: duplicate identifier
// expect position: 65
begin
end;

begin
end.
