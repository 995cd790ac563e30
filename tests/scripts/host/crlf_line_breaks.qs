// This file uses CR LF line breaks; error positions count each break as two bytes.
var
  count: Integer;
  name: string;
  count: Byte;   // expect compile error: duplicate identifier
// expect position at: count
begin
end.
