// Classes may be declared only in a TYPE section.
var
  thing: class   // expect compile error: class not allowed here
// expect position at: class
    X: Integer;
  end;
begin
end.
