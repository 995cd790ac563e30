// A semicolon ends the IF, so the ELSE that follows starts no statement.
var
  x: Integer;
begin
  x := 1;
  if x = 1 then
    Writeln('then part');   // expect: then part
  else                      // expect error: error in statement
    Writeln('else part');
end.
