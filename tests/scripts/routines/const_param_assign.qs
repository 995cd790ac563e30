// A CONST parameter cannot be assigned inside the routine.
var
  s: string;

procedure Change(const text: string);
begin
  Writeln('inside');
  text := 'changed';              // expect error: variable expected
end;

begin
  s := 'x';
  Change(s);                      // expect: inside
end.
