// The main block is not checked before it runs: statements before an unknown name still
// execute, and the unknown name fails only when it is reached.
procedure NeverCalled;
begin
  AlsoUnknown := NotDeclared + 1;
end;

begin
  Writeln('first');              // expect: first
  Writeln('second');             // expect: second
  Undeclared := 1;               // expect error: unknown identifier: UNDECLARED
  Writeln('not reached');
end.
