// TFoo.Create makes a new instance of TFoo whose fields hold zero values, whether Create is
// the root class's or a script constructor. A constructor declared in an ancestor makes an
// instance of the class that is named. A script constructor receives its arguments, may call
// the ancestor's constructor with INHERITED and calls virtual methods through SELF on the
// new instance's class. Create called on an existing instance runs as an ordinary method
// and makes nothing new. EXIT ends a constructor normally; a constructor that fails gives
// no instance, so the assignment it was part of does not happen. A method that is not a
// constructor cannot follow a class name.
type
  TPlain = class
  public
    Count: Integer;
    Name: string;
    Flag: Boolean;
    Other: TPlain;
  end;

  TShape = class
  public
    Kind: string;
    Size: Integer;
    Note: string;
    constructor Create(aSize: Integer);
    function Describe: string; virtual;
    procedure Show;
  end;

  TBox = class(TShape)
  public
    Depth: Integer;
    constructor Create(aSize: Integer);
    function Describe: string; override;
  end;

  TCube = class(TShape)
  end;

  TFragile = class
  public
    Step: Integer;
    constructor Create(divisor: Integer);
  end;

var
  made: Integer;

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

constructor TShape.Create(aSize: Integer);
begin
  made := made + 1;
  Size := aSize;
  Kind := Describe + '/' + SELF.Describe;
end;

function TShape.Describe: string;
begin
  Result := 'shape';
end;

procedure TShape.Show;
begin
  Writeln(Kind + ' ' + NumText(Size));
end;

constructor TBox.Create(aSize: Integer);
begin
  inherited Create(aSize + 1);
  Depth := aSize;
end;

function TBox.Describe: string;
begin
  Result := 'box';
end;

constructor TFragile.Create(divisor: Integer);
begin
  Step := 1;
  if divisor = 1 then
    exit;
  Step := 10 div divisor;
end;

var
  p, q: TPlain;
  s, s2: TShape;
  b: TBox;
  c: TShape;
  f, g: TFragile;

begin
  p := TPlain.Create;
  if (p.Count = 0) and (p.Name = '') and not p.Flag and (p.Other = nil) then
    Writeln('zero values');                // expect: zero values
  p.Count := 5;
  q := TPlain.Create();
  if (q.Count = 0) and (p <> q) then
    Writeln('second instance');            // expect: second instance
  p.Create;
  Writeln(NumText(p.Count));               // expect: 5

  s := TShape.Create(3);
  s.Show;                                  // expect: shape/shape 3
  b := TBox.Create(4);
  b.Show;                                  // expect: shape/box 5
  Writeln(NumText(b.Depth));               // expect: 4
  c := TCube.Create(2);
  c.Show;                                  // expect: shape/shape 2
  if c is TCube then
    Writeln('made as TCube');              // expect: made as TCube
  Writeln(NumText(made));                  // expect: 3
  Writeln(NumText(TShape.Create(7).Size)); // expect: 7
  Writeln(NumText(made));                  // expect: 4

  s.Note := 'kept';
  s2 := s;
  s.Create(9);
  Writeln(NumText(made));                  // expect: 5
  if s = s2 then
    Writeln('same instance');              // expect: same instance
  Writeln(s2.Note + ' ' + NumText(s2.Size));   // expect: kept 9
  f := TFragile.Create(1);
  Writeln(NumText(f.Step));                // expect: 1
  f := TFragile.Create(5);
  Writeln(NumText(f.Step));                // expect: 2
  g := f;
  try
    f := TFragile.Create(0);
    Writeln('not reached');
  except
    Writeln('constructor failed');         // expect: constructor failed
  end;
  if f = g then
    Writeln('variable unchanged');         // expect: variable unchanged
  TShape.Show;                             // expect error: constructor expected
end.
