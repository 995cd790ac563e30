// An instance freed while one of its methods runs: the method goes on with what does not need
// the instance, and its next use of a field fails. Many freed instances before it change nothing.
type
  TItem = class
  public
    Value: Integer;
    Name: string;
    procedure FreeThenRead;
  end;

procedure TItem.FreeThenRead;
begin
  Free;
  Writeln('freed itself');
  Writeln(Name);                            // expect error: unknown identifier: NAME
end;

var
  a: TItem;
  i: Integer;

begin
  for i := 1 to 1000 do
  begin
    a := TItem.Create;
    a.Name := 'many';
    a.Free;
  end;
  a := TItem.Create;
  a.FreeThenRead;                           // expect: freed itself
end.
