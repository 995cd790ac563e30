// Constructor elements are separated by commas and closed by ].
var
  a: array of Integer;
begin
  Writeln('running');         // expect: running
  a := [1, 2; 3];             // expect error: close block expected
end.
