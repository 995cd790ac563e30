// A property needs READ, WRITE or both.
type
  TThing = class
    FCount: Integer;
    property Count: Integer;   // expect compile error: can not read or write property
  end;
begin
end.
