// Enumeration values become globals, so they must not repeat a name in use.
type
  TColor = (Red, Green, Blue);
  TLight = (Off, Green);   // expect compile error: duplicate identifier
// expect position at: Green
begin
end.
