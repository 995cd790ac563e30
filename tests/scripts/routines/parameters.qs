// Value parameters are converted copies; VAR parameters share the caller's variable; CONST
// parameters are read-only references.
type
  TNumber = Integer;
  TInts = array of Integer;
  TPair = record
    A, B: Integer;
  end;

var
  n: Integer;
  t: TNumber;
  s, other: string;
  ch: Char;
  ints: TInts;
  pair: TPair;

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

procedure ChangeCopy(value: Integer);
begin
  value := value + 100;
  Writeln('inside ' + NumText(value));
end;

procedure Increment(var target: Integer);
begin
  target := target + 1;
end;

procedure Swap(var first, second: string);
var
  keep: string;
begin
  keep := first;
  first := second;
  second := keep;
end;

procedure ShowByte(value: Byte);
begin
  Writeln('byte ' + NumText(value));
end;

procedure ShowText(text: string);
begin
  Writeln('text ' + text);
end;

function Sum(const values: TInts): Integer;
var
  k: Integer;
begin
  Result := 0;
  for k := 0 to 2 do
    Result := Result + values[k];
end;

procedure Fill(var values: TInts);
begin
  values := [7, 8, 9];
end;

procedure ChangeArrayCopy(values: TInts);
begin
  values[0] := 100;
end;

procedure MovePair(var p: TPair; delta: Integer);
begin
  p.A := p.A + delta;
  p.B := p.B - delta;
end;

procedure ChangePairCopy(p: TPair);
begin
  p.A := 999;
end;

begin
  n := 1;
  ChangeCopy(n);                    // expect: inside 101
  Writeln(NumText(n));              // expect: 1
  Increment(n);
  Increment(n);
  Writeln(NumText(n));              // expect: 3
  t := 41;
  Increment(t);
  Writeln(NumText(t));              // expect: 42
  s := 'left';
  other := 'right';
  Swap(s, other);
  Writeln(s + ' ' + other);         // expect: right left
  ShowByte(300);                    // expect: byte 44
  ch := 'z';
  ShowText(ch);                     // expect: text z
  ints := [1, 2, 3];
  Writeln(NumText(Sum(ints)));      // expect: 6
  ChangeArrayCopy(ints);
  Writeln(NumText(ints[0]));        // expect: 1
  Fill(ints);
  Writeln(NumText(Sum(ints)));      // expect: 24
  Increment(ints[1]);
  Writeln(NumText(ints[1]));        // expect: 9
  pair.A := 10;
  pair.B := 20;
  MovePair(pair, 5);
  Writeln(NumText(pair.A) + ' ' + NumText(pair.B));   // expect: 15 15
  ChangePairCopy(pair);
  Writeln(NumText(pair.A));         // expect: 15
  Increment(pair.B);
  Writeln(NumText(pair.B));         // expect: 16
end.
