// A character that starts no token is an invalid character, a syntax error at its position.
var
  x: Integer;
begin
  x := 1 ! 2;   // expect compile error: syntax error
// expect position at: !
end.
