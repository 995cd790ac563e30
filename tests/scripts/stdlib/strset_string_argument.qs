// A two-character text cannot become the CHAR argument of StrSet: the call's argument
// conversion refuses it.
var
  s: string;
begin
  s := 'abc';
  try
    StrSet('a', 0, s);
  except
    Writeln('index 0 refused');
  end;
  // expect: index 0 refused
  StrSet('ab', 1, s); // expect error: type mismatch
end.
