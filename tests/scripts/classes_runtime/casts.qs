// A cast TB(A) gives A's instance as a TB when its actual class is TB or a descendant of TB,
// and nil passes as nil. Members that only TB has are reached through the cast, and changes
// made through it are seen through A, as both name the same instance. Casting up to an
// ancestor always works. A cast to a class the instance does not belong to fails.
type
  TBase = class
  public
    Id: Integer;
  end;

  TDerived = class(TBase)
  public
    Extra: string;
    function Info: string;
  end;

  TDeeper = class(TDerived)
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

function TDerived.Info: string;
begin
  Result := 'info ' + NumText(Id) + ' ' + Extra;
end;

var
  a, a2: TBase;
  d: TDerived;

begin
  a := TDerived.Create;
  a.Id := 1;
  TDerived(a).Extra := 'more';
  Writeln(TDerived(a).Extra);              // expect: more
  Writeln(TDerived(a).Info);               // expect: info 1 more
  d := TDerived(a);
  d.Id := 2;
  Writeln(NumText(a.Id));                  // expect: 2
  a2 := TBase(d);
  if a2 = a then
    Writeln('same instance');              // expect: same instance
  a := TDeeper.Create;
  TDerived(a).Extra := 'deep';
  Writeln(TDerived(a).Info);               // expect: info 0 deep
  a := nil;
  d := TDerived(a);
  if d = nil then
    Writeln('nil cast');                   // expect: nil cast
  a := TBase.Create;
  Writeln('plain base');                   // expect: plain base
  Writeln(TDerived(a).Extra);              // expect error: type mismatch
end.
