// A script class derived from TIfStringList keeps the list's methods and adds its own.
type
  TNames = class(TIfStringList)
  public
    function Joined: string;
  end;

function TNames.Joined: string;
var
  i: Integer;
begin
  Result := '';
  for i := 0 to Count - 1 do
    Result := Result + GetItem(i);
end;

var
  names: TNames;
begin
  names := TNames.Create;
  names.Add('x');
  names.Add('y');
  Writeln(names.Joined + ' ' + names.GetAncestors);
  // expect: xy TOBJECT.TIFSTRINGLIST.TNAMES
  names.Free;
end.
