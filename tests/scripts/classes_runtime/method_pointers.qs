// A procedure type declared "of object" holds a method together with its instance: @obj.M
// takes it (a virtual method is dispatched on the instance's actual class), and P^(...)
// calls it on that instance, which it keeps referring to. Values bound to different
// instances differ. Fields and parameters of such a type work as event handlers. A plain
// routine cannot be stored in it.
type
  TNotify = procedure(n: Integer) of object;
  TGetter = function: string of object;

  TCounter = class
  public
    Name: string;
    Total: Integer;
    procedure Add(n: Integer);
    function Describe: string; virtual;
  end;

  TLoudCounter = class(TCounter)
  public
    function Describe: string; override;
  end;

  TClicker = class
  public
    OnClick: TNotify;
    procedure Click;
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

procedure TCounter.Add(n: Integer);
begin
  Total := Total + n;
end;

function TCounter.Describe: string;
begin
  Result := Name + ' ' + NumText(Total);
end;

function TLoudCounter.Describe: string;
begin
  Result := 'LOUD ' + inherited Describe;
end;

procedure TClicker.Click;
begin
  if OnClick <> nil then
    OnClick^(1);
end;

procedure Fire(handler: TNotify; times: Integer);
var
  i: Integer;
begin
  for i := 1 to times do
    handler^(i);
end;

procedure Plain(n: Integer);
begin
end;

var
  a, b: TCounter;
  p, q: TNotify;
  g: TGetter;
  button: TClicker;

begin
  a := TCounter.Create;
  a.Name := 'a';
  b := TLoudCounter.Create;
  b.Name := 'b';
  p := @a.Add;
  p^(5);
  p^(2);
  Writeln(a.Describe);                     // expect: a 7
  q := @b.Add;
  q^(10);
  Writeln(NumText(b.Total));               // expect: 10
  if p <> q then
    Writeln('different instances');        // expect: different instances
  q := @a.Add;
  if p = q then
    Writeln('same method and instance');   // expect: same method and instance
  g := @b.Describe;
  Writeln(g^);                             // expect: LOUD b 10
  b.Total := 11;
  Writeln(g^);                             // expect: LOUD b 11
  button := TClicker.Create;
  button.Click;
  Writeln(a.Describe);                     // expect: a 7
  button.OnClick := @a.Add;
  button.Click;
  button.Click;
  Writeln(a.Describe);                     // expect: a 9
  button.OnClick^(100);
  Writeln(a.Describe);                     // expect: a 109
  Fire(@b.Add, 3);
  Writeln(b.Describe);                     // expect: LOUD b 17
  p := nil;
  if p = nil then
    Writeln('cleared');                    // expect: cleared
  p := @Plain;                             // expect error: type mismatch
end.
