program CallResults;
// An expression that is one call takes the call's result whole: converted to the destination's
// type, copied where it is a structure, the function's own state untouched by later changes.

type
  TPair = record
    A, B: Integer;
  end;
  TCounter = class
    Count: Integer;
    function Next: Integer;
    function Twice(n: Integer): Integer;
    function Both: Integer;
  end;

var
  b: Byte;
  r: Extended;
  s: string;
  ok: Boolean;
  p, q: TPair;
  c: TCounter;
  keep: TPair;

function Big: Integer;
begin
  Result := 300;
end;

function Half: Integer;
begin
  Result := 7;
end;

function Named(n: Integer): string;
begin
  Result := 'w' + IntToStr(n);
end;

function IsSmall(n: Integer): Boolean;
begin
  Result := n < 10;
end;

function MakePair(x, y: Integer): TPair;
begin
  Result.A := x;
  Result.B := y;
  keep := Result;
end;

function TCounter.Next: Integer;
begin
  Count := Count + 1;
  Result := Count;
end;

function TCounter.Twice(n: Integer): Integer;
begin
  Result := n * 2;
end;

function TCounter.Both: Integer;
begin
  Result := Twice(Next);
end;

begin
  b := Big;
  Writeln(IntToStr(b));
  // expect: 44
  r := Half;
  Writeln(FloatToStr(r / 2));
  // expect: 3.500000000000
  s := Named(12);
  Writeln(s);
  // expect: w12
  s := Named(Length(s));
  Writeln(s);
  // expect: w3
  ok := IsSmall(3);
  if IsSmall(30) then
    Writeln('small')
  else if ok then
    Writeln('large, then small');
  // expect: large, then small
  p := MakePair(1, 2);
  q := p;
  q.A := 10;
  keep.B := 20;
  Writeln(IntToStr(p.A) + ' ' + IntToStr(p.B) + ' ' + IntToStr(q.A));
  // expect: 1 2 10
  c := TCounter.Create;
  Writeln(IntToStr(c.Both) + ' ' + IntToStr(c.Both) + ' ' + IntToStr(c.Count));
  // expect: 2 4 2
  c.Free;
end.
