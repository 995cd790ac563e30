// Whole-record assignments: a copy is independent of its source, fields are assigned in place
// (a var argument naming a field still names it after the record is assigned), records with
// strings, nested records and arrays, a record that is assigned to itself, records in arrays
// swapped through a temporary, var and const parameters, and a source that fails to read.
type
  TItem = record
    Key: Integer;
    Name: string;
    Done: Boolean;
  end;
  TBox = record
    Inner: TItem;
    Codes: array of Integer;
  end;

var
  a, b, tmp: TItem;
  x, y: TBox;
  items: array of TItem;
  i: Integer;

procedure SetKeyAfterCopy(var key: Integer);
begin
  a := b;
  key := key + 1;
end;

procedure CopyInto(var dest: TItem; const source: TItem);
begin
  dest := source;
end;

begin
  a.Key := 1;
  a.Name := 'one';
  b := a;
  a.Key := 2;
  a.Name := 'two';
  Writeln(IntToStr(b.Key) + b.Name + ' ' + IntToStr(a.Key) + a.Name);  // expect: 1one 2two
  a := a;
  Writeln(IntToStr(a.Key) + a.Name);                                   // expect: 2two
  b.Key := 40;
  SetKeyAfterCopy(a.Key);
  Writeln(IntToStr(a.Key) + a.Name);                                   // expect: 41one
  CopyInto(tmp, a);
  Writeln(IntToStr(tmp.Key) + tmp.Name);                               // expect: 41one
  items := [a, b, tmp];
  items[0].Done := True;
  tmp := items[0];
  items[0] := items[2];
  items[2] := tmp;
  if items[2].Done and not items[0].Done then
    Writeln('swapped');                                                // expect: swapped
  x.Inner := a;
  x.Codes := [7, 8];
  y := x;
  x.Inner.Name := 'changed';
  x.Codes[0] := 70;
  Writeln(y.Inner.Name + ' ' + IntToStr(y.Codes[0]));                  // expect: one 7
  i := 3;
  tmp := items[i];                // expect error: out of range
end.
