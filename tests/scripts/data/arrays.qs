// Arrays: constructors, zero-based indexing, element assignment, deep copies on assignment,
// nested arrays (indexed as m[i][j] or m[i, j]) and arrays of records and strings.
type
  TInts = array of Integer;
  TGrid = array of TInts;
  TPoint = record
    X, Y: Integer;
  end;
  TPoints = array of TPoint;

var
  a, b: TInts;
  m: TGrid;
  names: array of string;
  pts: TPoints;
  p: TPoint;
  i: Integer;
  s: string;

function NumText(value: Integer): string;
var
  negative: Boolean;
begin
  Result := '';
  negative := value < 0;
  if negative then
    value := -value;
  repeat
    case value mod 10 of
      0: Result := '0' + Result;
      1: Result := '1' + Result;
      2: Result := '2' + Result;
      3: Result := '3' + Result;
      4: Result := '4' + Result;
      5: Result := '5' + Result;
      6: Result := '6' + Result;
      7: Result := '7' + Result;
      8: Result := '8' + Result;
      9: Result := '9' + Result;
    end;
    value := value div 10;
  until value = 0;
  if negative then
    Result := '-' + Result;
end;

function Range(count: Integer): TInts;
begin
  if count = 3 then
    Result := [1, 2, 3]
  else
    Result := [0];
end;

begin
  a := [10, 20, 30];
  Writeln(NumText(a[0]) + ' ' + NumText(a[2]));        // expect: 10 30
  a[1] := 25;
  i := 2;
  Writeln(NumText(a[i - 1] + a[i]));                   // expect: 55
  b := a;
  b[0] := 99;
  Writeln(NumText(a[0]) + ' ' + NumText(b[0]));        // expect: 10 99
  a := [1 + 1, i * 10, a[2]];
  Writeln(NumText(a[0]) + ' ' + NumText(a[1]) + ' ' + NumText(a[2]));   // expect: 2 20 30
  m := [[1, 2], [3, 4, 5]];
  Writeln(NumText(m[1][2]) + ' ' + NumText(m[1, 0]));  // expect: 5 3
  m[0, 1] := 7;
  Writeln(NumText(m[0][1]));                           // expect: 7
  m[1] := [8];
  Writeln(NumText(m[1, 0]));                           // expect: 8
  names := ['ann', 'bob'];
  names[1] := names[1] + 'by';
  Writeln(names[0] + ' ' + names[1]);                  // expect: ann bobby
  p.X := 1;
  p.Y := 2;
  pts := [p, p];
  pts[1].X := 5;
  Writeln(NumText(pts[0].X) + ' ' + NumText(pts[1].X) + ' ' + NumText(p.X));   // expect: 1 5 1
  a := Range(3);
  Writeln(NumText(a[0] + a[1] + a[2]));                // expect: 6
  s := '';
  for i := 0 to 2 do
    s := s + NumText(a[i]);
  Writeln(s);                                          // expect: 123
  a := [4];
  Writeln(NumText(a[0]));                              // expect: 4
  a := [1, 2, 3];
  i := a[3];                                           // expect error: out of range
end.
