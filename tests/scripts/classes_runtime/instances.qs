// A class variable refers to an instance: assignment, value parameters, fields and array
// elements share it, so a change made through one is seen through all, while assigning to a
// value parameter does not change the caller's variable. A var parameter can replace the
// caller's instance. Through a variable only the members of its declared class are found,
// even when the instance's actual class has more.
type
  TNode = class
  public
    Value: Integer;
    Next: TNode;
    function Sum: Integer;
  end;

  TTagged = class(TNode)
  public
    Tag: string;
  end;

  TNodes = array of TNode;

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

function TNode.Sum: Integer;
begin
  Result := Value;
  if Next <> nil then
    Result := Result + Next.Sum;
end;

procedure Bump(n: TNode);
begin
  n.Value := n.Value + 1;
  n := nil;
end;

procedure Replace(var n: TNode);
begin
  n := TNode.Create;
  n.Value := 42;
end;

var
  head, node, alias, keep, t: TNode;
  nodes: TNodes;
  i: Integer;

begin
  head := nil;
  for i := 1 to 4 do
  begin
    node := TNode.Create;
    node.Value := i;
    node.Next := head;
    head := node;
  end;
  Writeln(NumText(head.Value) + ' ' + NumText(head.Sum));   // expect: 4 10
  alias := head.Next;
  alias.Value := 30;
  Writeln(NumText(head.Sum));              // expect: 37
  Writeln(NumText(head.Next.Next.Value));  // expect: 2
  Bump(head);
  if head <> nil then
    Writeln(NumText(head.Value));          // expect: 5
  nodes := [head, alias];
  nodes[1].Value := 100;
  Writeln(NumText(alias.Value));           // expect: 100
  if nodes[0] = head then
    Writeln('element shares');             // expect: element shares
  keep := head;
  Replace(head);
  Writeln(NumText(head.Value) + ' ' + NumText(keep.Value));   // expect: 42 5
  t := TTagged.Create;
  TTagged(t).Tag := 'tagged';
  t.Value := 1;
  Writeln(TTagged(t).Tag);                 // expect: tagged
  Writeln(t.Tag);                          // expect error: unknown identifier: TAG
end.
