// A class reference (class of T) holds T or a descendant of T. A constructor called through
// it makes an instance of the class it holds (a virtual constructor runs that class's
// override; a constructor declared in an ancestor still makes the held class). References
// compare by identity, are IS operands and travel as parameters. A reference that was never
// assigned, or was set to nil, fails when a constructor is called through it.
type
  TPart = class
  public
    Text: string;
    constructor Create; virtual;
    constructor Make(value: string);
    function Kind: string; virtual;
  end;

  TWheel = class(TPart)
  public
    constructor Create; override;
    function Kind: string; override;
  end;

  TPlain = class
  public
    Value: Integer;
  end;

  TPartClass = class of TPart;
  TPlainClass = class of TPlain;

constructor TPart.Create;
begin
  Text := 'part made';
end;

constructor TPart.Make(value: string);
begin
  Text := value;
end;

function TPart.Kind: string;
begin
  Result := 'part';
end;

constructor TWheel.Create;
begin
  inherited;
  Text := Text + ' then wheel';
end;

function TWheel.Kind: string;
begin
  Result := 'wheel';
end;

function Build(cls: TPartClass; value: string): TPart;
begin
  Result := cls.Make(value);
end;

var
  r, unset: TPartClass;
  rp: TPlainClass;
  x, y: TPart;
  plain: TPlain;

begin
  r := TPart;
  x := r.Create;
  Writeln(x.Kind + ': ' + x.Text);         // expect: part: part made
  r := TWheel;
  x := r.Create;
  Writeln(x.Kind + ': ' + x.Text);         // expect: wheel: part made then wheel
  x := r.Make('spoke');
  Writeln(x.Kind + ': ' + x.Text);         // expect: wheel: spoke
  if x is TWheel then
    Writeln('instance of TWheel');         // expect: instance of TWheel
  if r = TWheel then
    Writeln('holds TWheel');               // expect: holds TWheel
  if r <> TPart then
    Writeln('not TPart');                  // expect: not TPart
  if x is r then
    Writeln('wheel is r');                 // expect: wheel is r
  y := TPart.Create;
  if not (y is r) then
    Writeln('part is not r');              // expect: part is not r
  y := Build(TWheel, 'built');
  Writeln(y.Kind + ': ' + y.Text);         // expect: wheel: built
  y := Build(TPart, 'plain');
  Writeln(y.Kind + ': ' + y.Text);         // expect: part: plain
  rp := TPlain;
  plain := rp.Create;
  plain.Value := 3;
  if plain is TPlain then
    Writeln('plain made');                 // expect: plain made
  r := nil;
  if r = nil then
    Writeln('reference cleared');          // expect: reference cleared
  try
    x := r.Create;
    Writeln('not reached');
  except
    Writeln('nil reference caught');       // expect: nil reference caught
  end;
  if unset = nil then
    Writeln('unset is nil');               // expect: unset is nil
  x := unset.Make('none');                 // expect error: class reference not assigned
end.
