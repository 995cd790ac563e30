// Records are assignable only between variables of the same record type, even when two
// record types have the same fields.
type
  TPoint = record
    X, Y: Integer;
  end;
  TSize = record
    X, Y: Integer;
  end;

var
  p, q: TPoint;
  s: TSize;

begin
  q := p;
  Writeln('same type works');    // expect: same type works
  s := p;                        // expect error: type mismatch
end.
