// A routine body is followed by a semicolon.
procedure P;
begin
end

begin   // expect compile error: semicolon expected
// expect position at: begin
end.
