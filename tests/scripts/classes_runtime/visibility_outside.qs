// From outside a class only its public members are found: public fields, methods and
// properties work from the main block, while private and protected members are unknown
// there. A WITH statement looks names up as from inside the class, so its body reaches
// private and protected fields and methods by their bare names.
type
  TAccount = class
  private
    FSecret: Integer;
    procedure Bump;
  protected
    FLevel: Integer;
    function Hidden: string;
  public
    Owner: string;
    function Describe: string;
    property Secret: Integer read FSecret write FSecret;
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

procedure TAccount.Bump;
begin
  FSecret := FSecret + 100;
end;

function TAccount.Hidden: string;
begin
  Result := 'hidden ' + NumText(FLevel);
end;

function TAccount.Describe: string;
begin
  Result := Owner + ' ' + NumText(FSecret) + ' ' + NumText(FLevel);
end;

var
  a: TAccount;

begin
  a := TAccount.Create;
  a.Owner := 'ann';
  a.Secret := 7;
  Writeln(a.Describe);                   // expect: ann 7 0
  Writeln(NumText(a.Secret));            // expect: 7
  with a do
  begin
    FSecret := 12;
    FLevel := 3;
    Bump;
    Writeln(Hidden);                     // expect: hidden 3
    Writeln(Owner);                      // expect: ann
  end;
  Writeln(a.Describe);                   // expect: ann 112 3
  Writeln(NumText(a.FLevel));            // expect error: unknown identifier: FLEVEL
end.
