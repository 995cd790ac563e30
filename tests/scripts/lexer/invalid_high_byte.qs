// Bytes above 127 are allowed inside strings and comments (é) but not between tokens.
var
  x: Integer;
begin
  Writeln('café');
  x := 1 é 2;   // expect compile error: syntax error
// expect position at: �
end.
