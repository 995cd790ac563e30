// A CONST parameter is passed by reference, so its argument must be a variable.
var
  s: string;

procedure Show(const text: string);
begin
  Writeln(text);
end;

begin
  s := 'from a variable';
  Show(s);                        // expect: from a variable
  Show('literal');                // expect error: identifier expected
end.
