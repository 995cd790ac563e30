type
  TLevel = (Low1, Mid1, High1);
var
  l: TLevel;
begin
  l := Succ(Mid1);
  Writeln(IntToStr(Ord(l)));
  // expect: 2
  l := Succ(l); // expect error: out of range
end.
