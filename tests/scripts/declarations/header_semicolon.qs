// The program header ends with a semicolon.
program NoSemicolon
begin   // expect compile error: semicolon expected
// expect position at: begin
end.
