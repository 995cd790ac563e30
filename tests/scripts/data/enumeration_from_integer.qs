// Integers are not enumeration values.
type
  TColor = (Red, Green, Blue);
var
  c: TColor;
begin
  c := Blue;
  Writeln('enumeration value accepted');   // expect: enumeration value accepted
  c := 1;                                  // expect error: type mismatch
end.
