// An expression that ends with an operator does not reduce to one value.
var
  x: Integer;
begin
  x := 1 + 2;
  Writeln('complete');    // expect: complete
  x := 1 +;               // expect error: error in expression
end.
