// WITH a, b DO looks bare names up in a first, then in b, then in the instances of an
// enclosing WITH, and only then in locals and globals: when a and b both have a field X, X
// names a.X. Methods are found the same way and run on the instance that has them. Inside a
// method the method's own instance is searched after the WITH's instances, and its fields
// come before the method's parameters. Only class instances can be named by WITH.
type
  TPoint = class
  public
    X, Y: Integer;
    procedure Move(dx: Integer);
  end;

  TTag = class
  public
    X: Integer;
    Caption: string;
    procedure Rename(text: string);
  end;

  TShifter = class
  public
    X: Integer;
    procedure ShiftOther(p: TPoint);
    procedure Hide(X: Integer);
  end;

  TPair = record
    A, B: Integer;
  end;

var
  total: Integer;

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

procedure TPoint.Move(dx: Integer);
begin
  X := X + dx;
end;

procedure TTag.Rename(text: string);
begin
  Caption := text + NumText(X);
end;

procedure TShifter.ShiftOther(p: TPoint);
begin
  with p do
    X := X + 1;
  X := X + 100;
end;

procedure TShifter.Hide(X: Integer);
begin
  X := X + 1;
  total := X;
end;

var
  p: TPoint;
  l: TTag;
  s: TShifter;
  pair: TPair;

begin
  p := TPoint.Create;
  l := TTag.Create;
  with p, l do
  begin
    X := 5;
    Y := 6;
    Caption := 'c';
    Move(1);
    Rename('r');
    total := X + Y;
  end;
  Writeln(NumText(p.X) + ' ' + NumText(p.Y) + ' ' + NumText(l.X));   // expect: 6 6 0
  Writeln(l.Caption);                      // expect: r0
  Writeln(NumText(total));                 // expect: 12
  with l, p do
    X := 9;
  Writeln(NumText(p.X) + ' ' + NumText(l.X));   // expect: 6 9
  with p do
    with l do
    begin
      X := 20;
      Y := 21;
    end;
  Writeln(NumText(p.X) + ' ' + NumText(p.Y) + ' ' + NumText(l.X));   // expect: 6 21 20
  s := TShifter.Create;
  s.X := 3;
  s.ShiftOther(p);
  Writeln(NumText(p.X) + ' ' + NumText(s.X));   // expect: 7 103
  s.X := 3;
  s.Hide(50);
  Writeln(NumText(s.X) + ' ' + NumText(total));  // expect: 4 4
  with pair do                             // expect error: class type expected
    A := 1;
end.
