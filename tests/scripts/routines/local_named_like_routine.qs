// A routine's local variables are declared when it is called: a local named like a routine is
// a duplicate identifier at that call, not before.
procedure Helper;
begin
end;

procedure P;
var
  Helper: Integer;     // expect error: duplicate identifier
begin
  Writeln('not reached');
end;

begin
  Writeln('running');  // expect: running
  P;
end.
