// Enumerations: values are read-only, ordered by declaration, start at the first value and
// work as CASE selectors and parameters.
type
  TColor = (Red, Green, Blue);
  TSize = (Small, Large);

var
  c, d: TColor;
  size: TSize;

procedure Check(what: string; ok: Boolean);
begin
  if ok then
    Writeln(what)
  else
    Writeln(what + ' FAILED');
end;

function Next(color: TColor): TColor;
begin
  case color of
    Red: Result := Green;
    Green: Result := Blue;
  else
    Result := Red;
  end;
end;

begin
  Check('starts at the first value', c = Red);        // expect: starts at the first value
  c := Green;
  Check('assigned value', c = Green);                 // expect: assigned value
  Check('declaration order', (Red < Green) and (Green < Blue));   // expect: declaration order
  Check('greater or equal', Blue >= c);               // expect: greater or equal
  d := c;
  Check('copy', d = Green);                           // expect: copy
  Check('not equal', c <> Blue);                      // expect: not equal
  Check('parameter and result', Next(Next(c)) = Red); // expect: parameter and result
  size := Large;
  Check('second enumeration', size > Small);          // expect: second enumeration
end.
