// A procedure call gives no value: using one as an operand fails after the call has run.
var
  x: Integer;

procedure P;
begin
  Writeln('P ran');
end;

begin
  // expect: P ran
  x := P;                         // expect error: type mismatch
end.
