// After Destroy the instance has no list: every method but Create fails.
var
  list: TIfStringList;
  n: Integer;
begin
  list := TIfStringList.Create;
  list.Add('x');
  list.Destroy;
  n := list.Count; // expect error: class is not created
end.
