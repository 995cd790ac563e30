// Elements named by simple indexes and fields (a[i], m[i][j], r[i].F) read the same as through
// any longer expression; an index outside the array still stops the run with "out of range".
type
  TItem = record
    Key: Integer;
    Name: string;
  end;
var
  a, row: array of Integer;
  m: array of array of Integer;
  items: array of TItem;
  it: TItem;
  i, j, x: Integer;
  s: string;
begin
  a := [10, 20, 30];
  row := [1, 2];
  m := [row, row];
  m[1][0] := 5;
  it.Key := 7;
  it.Name := 'seven';
  items := [it, it];
  items[1].Name := 'other';
  i := 1;
  j := 0;
  x := a[i] + m[i][j] + items[j].Key;
  if x = 20 + 5 + 7 then
    Writeln('elements read');            // expect: elements read
  s := items[i].Name;
  Writeln(s + ' ' + items[0].Name);      // expect: other seven
  i := 3;
  x := a[i];                             // expect error: out of range
end.
