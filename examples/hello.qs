program Hello;
// The first script: prints a greeting and a little arithmetic.
var
  Name: string;
  I, Sum: Integer;
begin
  Name := 'Quoll';
  Writeln('Hello from ' + Name + '!');
  Sum := 0;
  for I := 1 to 10 do
    Sum := Sum + I;
  if Sum = 55 then
    Writeln('1 + 2 + ... + 10 = 55');
end.
