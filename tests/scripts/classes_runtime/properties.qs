// Properties read and write through a field or through methods. A reader method runs on
// every read and a writer method receives the assigned value (converted to its parameter
// type). A property gives its value as an operand, as an argument and before a selector;
// descendants inherit properties, and methods find them by their bare names. An accessor
// method is the one named in the property's class: an override of it in a descendant is not
// used by the property. A property without a writer refuses assignment.
type
  TTemperature = class
  private
    FCelsius: Integer;
    FReads: Integer;
    FLog: string;
    function GetFahrenheit: Integer;
    procedure SetFahrenheit(Value: Integer);
    function GetReads: Integer;
    function GetKind: string; virtual;
  public
    property Celsius: Integer read FCelsius write FCelsius;
    property Fahrenheit: Integer read GetFahrenheit write SetFahrenheit;
    property Reads: Integer read GetReads;
    property Log: string read FLog;
    property Kind: string read GetKind;
    procedure Warm;
  end;

  TOven = class(TTemperature)
  private
    function GetKind: string; override;
  public
    Next: TOven;
    property Link: TOven read Next write Next;
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

function TTemperature.GetFahrenheit: Integer;
begin
  FReads := FReads + 1;
  Result := FCelsius * 9 div 5 + 32;
end;

procedure TTemperature.SetFahrenheit(Value: Integer);
begin
  FLog := FLog + '[' + NumText(Value) + ']';
  FCelsius := (Value - 32) * 5 div 9;
end;

function TTemperature.GetReads: Integer;
begin
  Result := FReads;
end;

function TTemperature.GetKind: string;
begin
  Result := 'temperature';
end;

function TOven.GetKind: string;
begin
  Result := 'oven';
end;

procedure TTemperature.Warm;
begin
  Celsius := Celsius + 10;
  Fahrenheit := Fahrenheit + 18;
end;

var
  t: TTemperature;
  o1, o2: TOven;
  small: Byte;
  sum: Integer;

begin
  t := TTemperature.Create;
  t.Celsius := 100;
  Writeln(NumText(t.Celsius));           // expect: 100
  Writeln(NumText(t.Fahrenheit));        // expect: 212
  Writeln(NumText(t.Reads));             // expect: 1
  t.Fahrenheit := 32;
  Writeln(NumText(t.Celsius));           // expect: 0
  t.Warm;
  Writeln(NumText(t.Celsius));           // expect: 20
  Writeln(NumText(t.Reads));             // expect: 2
  sum := t.Fahrenheit + t.Fahrenheit;
  Writeln(NumText(sum));                 // expect: 136
  Writeln(NumText(t.Reads));             // expect: 4
  small := 212;
  t.Fahrenheit := small;
  Writeln(NumText(t.Celsius));           // expect: 100
  Writeln(t.Log);                        // expect: [32][68][212]

  o1 := TOven.Create;
  o2 := TOven.Create;
  o1.Link := o2;
  o1.Link.Celsius := 7;
  Writeln(NumText(o2.Celsius));          // expect: 7
  o2.Fahrenheit := 50;
  Writeln(NumText(o1.Link.Celsius));     // expect: 10
  if o1.Link = o2 then
    Writeln('same oven');                // expect: same oven
  Writeln(t.Kind + ' ' + o2.Kind);       // expect: temperature temperature
  if o2.Link = nil then
    Writeln('no link');                  // expect: no link

  t.Reads := 5;                          // expect error: can not write property
  Writeln('not reached');
end.
