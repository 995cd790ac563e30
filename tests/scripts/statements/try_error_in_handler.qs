// An error raised inside an except part is not caught by that same handler.
var
  zero: Integer;
begin
  zero := 0;
  try
    zero := 1 div zero;
  except
    Writeln('handling');        // expect: handling
    zero := 2 div zero;         // expect error: divide by zero
    Writeln('not reached');
  end;
end.
