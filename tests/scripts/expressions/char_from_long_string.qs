// A STRING of exactly one character can be stored into a CHAR; a longer one cannot.
var
  c: Char;
  s: string;
begin
  s := 'q';
  c := s;
  Writeln(c);        // expect: q
  s := 'qr';
  c := s;            // expect error: type mismatch
end.
