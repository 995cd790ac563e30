// Records: field access, zero-valued fields, copies on assignment, nested records, array
// fields, type copies of a record type, and records returned by functions (through RESULT or
// through the function's name).
type
  TPoint = record
    X, Y: Integer;
  end;
  TLine = record
    A, B: TPoint;
    Name: string;
  end;
  TBag = record
    Items: array of Integer;
    Count: Integer
  end;
  TSpot = TPoint;

var
  p, q: TPoint;
  line: TLine;
  bag: TBag;
  spot: TSpot;

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

function MakePoint(ax, ay: Integer): TPoint;
begin
  Result.X := ax;
  Result.Y := ay;
end;

function Corner(size: Integer): TPoint;
begin
  Corner.X := size;
  Corner.Y := Corner.X * 2;
end;

function Length2(pt: TPoint): Integer;
begin
  Result := pt.X * pt.X + pt.Y * pt.Y;
end;

begin
  Writeln(NumText(p.X) + ' ' + NumText(p.Y) + ' [' + line.Name + ']');   // expect: 0 0 []
  p.X := 3;
  p.Y := 4;
  q := p;
  q.X := 30;
  Writeln(NumText(p.X) + ' ' + NumText(q.X) + ' ' + NumText(q.Y));       // expect: 3 30 4
  line.A := p;
  line.B.X := 7;
  line.Name := 'diagonal';
  p.X := 100;
  Writeln(line.Name + ' ' + NumText(line.A.X) + ' ' + NumText(line.B.X)); // expect: diagonal 3 7
  bag.Items := [5, 6];
  bag.Count := 2;
  bag.Items[1] := bag.Items[1] + bag.Count;
  Writeln(NumText(bag.Items[0]) + ' ' + NumText(bag.Items[1]));          // expect: 5 8
  spot := q;
  p := spot;
  Writeln(NumText(p.X));                                                 // expect: 30
  q := MakePoint(6, 8);
  Writeln(NumText(q.X) + ' ' + NumText(q.Y));                            // expect: 6 8
  Writeln(NumText(Length2(q)));                                          // expect: 100
  Writeln(NumText(Length2(MakePoint(1, 2))));                            // expect: 5
  q := Corner(3);
  Writeln(NumText(q.X) + ' ' + NumText(q.Y));                            // expect: 3 6
  q.Z := 1;                       // expect error: unknown identifier: Z
end.
