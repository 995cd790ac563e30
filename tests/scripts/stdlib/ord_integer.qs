// Ord accepts characters and enumerations only.
var
  i: Integer;
begin
  i := Ord(65); // expect error: type mismatch
end.
