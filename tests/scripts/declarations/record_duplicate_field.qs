// Field names are unique within a record.
type
  TPoint = record
    X, Y: Integer;
    Name: string;
    Y: Byte;   // expect compile error: duplicate identifier
// expect position at: Y
  end;
begin
end.
