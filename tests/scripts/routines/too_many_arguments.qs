// After the last argument a closing parenthesis must follow.
procedure One(a: Integer);
begin
  Writeln('one');
end;

begin
  One(1);                         // expect: one
  One(1, 2);                      // expect error: round close expected
end.
