// INHERITED; calls the nearest ancestor's method of the running method's name with copies
// of the current values of the running method's parameters, so changes made before the call
// are passed on and changes made by the ancestor do not come back; a function's inherited
// result is dropped. INHERITED Name(...) calls an ancestor's Name on SELF with new
// arguments, without virtual dispatch, and gives its result as a value. Classes that do not
// declare the method are skipped. INHERITED outside a method fails.
type
  TBase = class
  public
    Trace: string;
    procedure Add(n: Integer; tag: string); virtual;
    function Calc(x: Integer): Integer; virtual;
    function Other: string; virtual;
    procedure Both; virtual;
  end;

  TMiddle = class(TBase)
  public
    procedure Add(n: Integer; tag: string); override;
    function Calc(x: Integer): Integer; override;
    function Other: string; override;
  end;

  TTop = class(TMiddle)
  public
    procedure Add(n: Integer; tag: string); override;
    function Calc(x: Integer): Integer; override;
    procedure Both; override;
  end;

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

procedure TBase.Add(n: Integer; tag: string);
begin
  Trace := Trace + 'base(' + NumText(n) + tag + ')';
  n := 999;
  tag := 'lost';
end;

function TBase.Calc(x: Integer): Integer;
begin
  Result := x + 1;
end;

function TBase.Other: string;
begin
  Trace := Trace + '<base-other>';
  Result := 'base';
end;

procedure TBase.Both;
begin
  Trace := Trace + 'base-both ';
end;

procedure TMiddle.Add(n: Integer; tag: string);
begin
  Trace := Trace + 'middle(' + NumText(n) + tag + ')';
  n := n * 10;
  tag := tag + '!';
  inherited;
  Trace := Trace + 'after(' + NumText(n) + tag + ')';
end;

function TMiddle.Calc(x: Integer): Integer;
begin
  Result := inherited Calc(x * 2) * 10;
end;

function TMiddle.Other: string;
begin
  Result := 'middle';
  inherited;
end;

procedure TTop.Add(n: Integer; tag: string);
begin
  Trace := Trace + 'top ';
  n := n + 1;
  inherited;
end;

function TTop.Calc(x: Integer): Integer;
begin
  Result := inherited Calc(x) + 5;
end;

procedure TTop.Both;
begin
  inherited;
  Trace := Trace + inherited Other;
end;

var
  t: TTop;
  b: TBase;

begin
  t := TTop.Create;
  t.Add(1, 'a');
  Writeln(t.Trace);          // expect: top middle(2a)base(20a!)after(20a!)
  Writeln(NumText(t.Calc(3)));                // expect: 75
  b := t;
  Writeln(NumText(b.Calc(0)));                // expect: 15
  t.Trace := '';
  Writeln(t.Other);                           // expect: middle
  Writeln(t.Trace);                           // expect: <base-other>
  // TTop does not declare Other or Both itself: INHERITED; in Both skips TMiddle, and
  // INHERITED Other starts above TMiddle, the class that owns the Other that TTop sees, so
  // it gives 'base' (the trace it adds is lost: Trace was read before the call).
  t.Trace := '';
  t.Both;
  Writeln(t.Trace);                           // expect: base-both base
  inherited;                                  // expect error: no inherited allowed here
end.
