// StrGet past the end stops the script at the call.
var
  s: string;
  c: Char;
begin
  s := 'ab';
  c := StrGet(s, 2);
  Writeln(c);
  // expect: b
  c := StrGet(s, 3); // expect error: out of range
end.
