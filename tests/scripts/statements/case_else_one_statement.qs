// The ELSE part of a CASE is one statement (or one block); a second statement before END is
// an error.
var
  i: Integer;
begin
  i := 1;
  case i of
    2: Writeln('two');
  else
    Writeln('else runs');   // expect: else runs
    Writeln('second');      // expect error: end expected
  end;
end.
