// Field names are unique within a class.
type
  TThing = class
    Count: Integer;
    Name: string;
    Count: Byte;   // expect compile error: duplicate identifier
// expect position: 111
  end;
begin
end.
