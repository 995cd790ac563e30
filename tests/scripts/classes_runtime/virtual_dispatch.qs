// A virtual method called through an instance (obj.M, and SELF.M inside a method) runs the
// most derived override for the instance's actual class, also when classes between skip
// the method. A bare call inside a method is looked up from the class that declares the
// running method, so it runs the override nearest that class, not one in a descendant. A
// method redeclared without OVERRIDE is not part of the chain: it runs only when called
// through a variable of its own class.
type
  TAnimal = class
  public
    function Sound: string; virtual;
    function Legs: Integer; virtual;
    function BareSound: string;
    function SelfSound: string;
  end;

  TDog = class(TAnimal)
  public
    function Sound: string; override;
    function DogBare: string;
  end;

  TPuppy = class(TDog)
  public
    function Sound: string; override;
    function Legs: Integer; override;
  end;

  TRobotDog = class(TDog)
  public
    function Sound: string;
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

function TAnimal.Sound: string;
begin
  Result := 'animal';
end;

function TAnimal.Legs: Integer;
begin
  Result := 0;
end;

function TAnimal.BareSound: string;
begin
  Result := Sound;
end;

function TAnimal.SelfSound: string;
begin
  Result := SELF.Sound;
end;

function TDog.Sound: string;
begin
  Result := 'woof';
end;

function TDog.DogBare: string;
begin
  Result := Sound;
end;

function TPuppy.Sound: string;
begin
  Result := 'yip';
end;

function TPuppy.Legs: Integer;
begin
  Result := 4;
end;

function TRobotDog.Sound: string;
begin
  Result := 'beep';
end;

var
  a: TAnimal;
  d: TDog;
  r: TRobotDog;

begin
  a := TAnimal.Create;
  Writeln(a.Sound + ' ' + a.BareSound + ' ' + a.SelfSound);   // expect: animal animal animal
  a := TDog.Create;
  Writeln(a.Sound + ' ' + a.BareSound + ' ' + a.SelfSound);   // expect: woof animal woof
  Writeln(NumText(a.Legs));                                   // expect: 0
  a := TPuppy.Create;
  Writeln(a.Sound + ' ' + a.BareSound + ' ' + a.SelfSound);   // expect: yip animal yip
  Writeln(NumText(a.Legs));                                   // expect: 4
  d := TPuppy.Create;
  Writeln(d.Sound + ' ' + d.DogBare + ' ' + d.BareSound);     // expect: yip woof animal
  Writeln(NumText(d.Legs));                                   // expect: 4
  a := TRobotDog.Create;
  Writeln(a.Sound + ' ' + a.SelfSound);                       // expect: woof woof
  r := TRobotDog.Create;
  Writeln(r.Sound + ' ' + r.DogBare + ' ' + r.SelfSound);     // expect: beep woof woof
end.
