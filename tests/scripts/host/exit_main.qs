// EXIT in the main block ends the run without an error.
var
  i: Integer;

begin
  Writeln('start');              // expect: start
  for i := 1 to 5 do
  begin
    if i = 3 then
      exit;
    Writeln('pass');             // expect: pass
                                 // expect: pass
  end;
  Writeln('not reached');
end.
