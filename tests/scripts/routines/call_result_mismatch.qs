program CallResultMismatch;
// A string result does not go into an integer variable: the error is where the expression ends.

var
  x: Integer;

function Named(n: Integer): string;
begin
  Result := 'n' + IntToStr(n);
end;

begin
  x := Named(5) ;  // expect error: type mismatch
  // expect position at: Named(5) |;
end.
