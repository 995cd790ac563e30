program CallResultProcedure;
// A procedure gives no value: taking its result is a type mismatch after the call, which ran.

var
  x: Integer;

procedure Show(n: Integer);
begin
  Writeln('shown ' + IntToStr(n));
end;

begin
  x := Show(5);  // expect error: type mismatch
  // expect position at: Show(5)|;
  // expect: shown 5
end.
