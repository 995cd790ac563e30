// Classes may be declared only in a TYPE section.
var
  thing: class   // expect compile error: class not allowed here
// expect position: 66
    X: Integer;
  end;
begin
end.
