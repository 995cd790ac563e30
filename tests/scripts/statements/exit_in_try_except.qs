// EXIT inside the protected part of TRY ... EXCEPT ends only the protected part: the handler
// does not run and execution goes on after the END.
procedure P;
begin
  try
    Writeln('protected');
    exit;
    Writeln('not reached');
  except
    Writeln('handler not run');
  end;
  Writeln('after the try');
end;

begin
  P;         // expect: protected
             // expect: after the try
  Writeln('main goes on');   // expect: main goes on
end.
