// An array constructor is accepted only where an array is expected.
var
  a: array of Integer;
  i: Integer;
begin
  a := [1];
  Writeln('array accepted');  // expect: array accepted
  i := [1];                   // expect error: type mismatch
end.
