// A script destructor overriding Destroy runs when Free is called and when Destroy is
// called directly, also through a variable of an ancestor class: the override nearest the
// instance's class is used. INHERITED passes up the chain to the root Destroy, which marks
// the instance freed; a destructor that does not call it leaves the instance usable.
type
  TResource = class
  public
    Name: string;
    destructor Destroy; override;
  end;

  TFile = class(TResource)
  public
    destructor Destroy; override;
  end;

  TKeeper = class
  public
    Count: Integer;
    destructor Destroy; override;
  end;

var
  log: string;

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

destructor TResource.Destroy;
begin
  log := log + 'resource(' + Name + ')';
  inherited;
end;

destructor TFile.Destroy;
begin
  log := log + 'file ';
  inherited;
end;

destructor TKeeper.Destroy;
begin
  Count := Count + 1;
end;

var
  r: TResource;
  k: TKeeper;

begin
  r := TFile.Create;
  r.Name := 'f';
  r.Free;
  Writeln(log);                            // expect: file resource(f)
  try
    r.Name := 'again';
  except
    Writeln('freed by the chain');         // expect: freed by the chain
  end;
  log := '';
  r := TResource.Create;
  r.Name := 'r';
  r.Destroy;
  Writeln(log);                            // expect: resource(r)
  log := '';
  r := TFile.Create;
  r.Name := 'g';
  r.Destroy;
  Writeln(log);                            // expect: file resource(g)
  k := TKeeper.Create;
  k.Free;
  k.Free;
  k.Destroy;
  Writeln(NumText(k.Count));               // expect: 3
  r.Free;                                  // expect error: class already freed
end.
