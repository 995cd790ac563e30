// TIfStringList: indexes from 0, forgiving at the edges, Add returns the new item's index.
var
  list: TIfStringList;
  i: Integer;
  all: string;
begin
  list := TIfStringList.Create;
  Writeln(IntToStr(list.Count) + ' ' + IntToStr(list.Add('a')) + ' ' + IntToStr(list.Add('b')) + ' ' + IntToStr(list.Count));
  // expect: 0 0 1 2
  Writeln('[' + list.GetItem(-1) + '][' + list.GetItem(list.Count) + '][' + list.GetItem(1) + ']');
  // expect: [][][b]
  list.SetItem(0, 'A');
  list.SetItem(5, 'x');
  list.SetItem(-1, 'x');
  list.Add('c');
  list.Delete(1);
  list.Delete(9);
  list.Delete(-1);
  for i := 0 to list.Count - 1 do
    all := all + list.GetItem(i) + ';';
  Writeln(all);
  // expect: A;c;
  list.Clear;
  Writeln(IntToStr(list.Count) + ' ' + list.ClassName);
  // expect: 0 TIFSTRINGLIST
  list.Free;
  // A list that is never destroyed is freed when the run ends.
  list := TIfStringList.Create;
  list.Add('left behind');
  list.Create;
  list.Add('a second list, also left behind');
end.
