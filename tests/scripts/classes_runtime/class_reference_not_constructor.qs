// Only a constructor can be called through a class reference: a constructor works, an
// ordinary method of the same class fails.
type
  TTool = class
  public
    Name: string;
    constructor Create;
    function Describe: string;
  end;

  TToolClass = class of TTool;

constructor TTool.Create;
begin
  Name := 'hammer';
end;

function TTool.Describe: string;
begin
  Result := 'tool ' + Name;
end;

var
  r: TToolClass;
  t: TTool;

begin
  r := TTool;
  t := r.Create;
  Writeln(t.Describe);                     // expect: tool hammer
  Writeln(r.Describe);                     // expect error: constructor expected
end.
