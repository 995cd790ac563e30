// Free and Destroy mark an instance freed. Every later use of it, through any variable that
// names it, fails: reading or writing a field, calling a method, a second Free, a WITH on
// it. A variable that never held an instance fails the same ways. These run-time errors can
// be caught with TRY. The variables still refer to the freed instance, so they are not nil
// and compare equal, and new instances are not affected.
type
  TItem = class
  public
    Value: Integer;
    procedure Show;
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

procedure TItem.Show;
begin
  Writeln('value ' + NumText(Value));
end;

var
  a, b, c, n: TItem;

begin
  a := TItem.Create;
  a.Value := 3;
  b := a;
  b.Show;                                  // expect: value 3
  a.Free;
  if a <> nil then
    Writeln('not nil after free');         // expect: not nil after free
  if a = b then
    Writeln('same freed instance');        // expect: same freed instance
  try
    Writeln(NumText(a.Value));
  except
    Writeln('read after free');            // expect: read after free
  end;
  try
    b.Value := 1;
  except
    Writeln('write through copy');         // expect: write through copy
  end;
  try
    b.Show;
  except
    Writeln('method after free');          // expect: method after free
  end;
  try
    a.Free;
  except
    Writeln('second free');                // expect: second free
  end;
  try
    with a do
      Value := 2;
  except
    Writeln('with after free');            // expect: with after free
  end;
  try
    n.Value := 1;
  except
    Writeln('never created');              // expect: never created
  end;
  try
    n.Free;
  except
    Writeln('free of nil');                // expect: free of nil
  end;
  try
    with n do
      Value := 2;
  except
    Writeln('with on nil');                // expect: with on nil
  end;
  c := TItem.Create;
  c.Value := 8;
  c.Destroy;
  try
    c.Show;
  except
    Writeln('destroyed directly');         // expect: destroyed directly
  end;
  a := TItem.Create;
  a.Value := 5;
  a.Show;                                  // expect: value 5
  Writeln(NumText(b.Value));               // expect error: class already freed
end.
