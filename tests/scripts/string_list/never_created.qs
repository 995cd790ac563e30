// A variable that never held a list.
var
  list: TIfStringList;
begin
  list.Add('x'); // expect error: class is not created
end.
