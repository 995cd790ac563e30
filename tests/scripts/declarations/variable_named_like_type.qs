// STRING is a type name, not a keyword, and type names are taken.
var
  ok: Boolean;
  String: Integer;   // expect compile error: duplicate identifier
// expect position at: String
begin
end.
