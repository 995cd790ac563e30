unit MathUtil;
{ A unit with a constant, a record type, a global variable and routines. Tests in the folder
  above use it; its line breaks are CR LF so positions inside it are the same bytes either way. }

const
  Base = 10;

type
  TPair = record
    A, B: Integer;
  end;

var
  Calls: Integer;

function Twice(x: Integer): Integer;
begin
  Calls := Calls + 1;
  Result := x * 2;
end;

function SumPair(p: TPair): Integer;
begin
  Calls := Calls + 1;
  Result := p.A + p.B;
end;

procedure Announce(s: string);
begin
  Writeln('MathUtil says ' + s);
end;

function Ratio(a, b: Integer): Integer;
begin
  Result := a div b;
end;

end.
