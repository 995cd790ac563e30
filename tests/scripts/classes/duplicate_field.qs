// Field names are unique within a class.
type
  TThing = class
    Count: Integer;
    Name: string;
    Count: Byte;   // expect compile error: duplicate identifier
// expect position at: Count
  end;
begin
end.
