// Indexes below zero are out of range.
var
  a: array of Integer;
  i: Integer;
begin
  a := [1, 2, 3];
  i := a[0];
  Writeln('index 0 works');   // expect: index 0 works
  i := -1;
  a[i] := 5;                  // expect error: out of range
end.
